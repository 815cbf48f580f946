// The launcher's weather chain end to end: the test build of the launcher reads its web
// services from a file, here local stand-ins for the IP echo, the geolocation and the weather
// service, and the home panel shows the city, temperature and wind they give. With every
// service refusing, the same panel keeps its empty texts and the window works and closes as ever.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "e2e/DisplayTest.h"
#include "e2e/LauncherSession.h"
#include "net/ServiceStandIns.h"

namespace {

// Lines of the weather box's text column: city, temperature, wind.
const std::string kCityLine = Area(220, 24, 880, 115);
const std::string kTemperatureLine = Area(220, 48, 880, 145);
const std::string kWindLine = Area(220, 22, 880, 199);

class WeatherE2ETest : public DisplayTest {
 protected:
  static void WriteHosts(const LauncherSession& launcher, const ServiceHosts& hosts) {
    std::ofstream out(launcher.runFile("service-hosts.txt"));
    for (size_t k = 0; k < hosts.ipEcho.size(); ++k) out << "ipecho" << k + 1 << ' ' << hosts.ipEcho[k] << '\n';
    out << "ipechofallback " << hosts.ipEchoFallback << "\ngeolocation " << hosts.geolocation << "\nweather "
        << hosts.weather << '\n';
  }

  // Opens the main window with `hosts`, waits until `ready` (or about 15 s), points away from
  // the panel and keeps a screenshot of it as `name`; then closes the window and expects a clean
  // exit. Returns the screenshot's path.
  std::string HomePanelWith(const ServiceHosts& hosts, const std::string& name,
                                   const std::function<bool()>& ready) {
    LauncherSession launcher(LauncherSession::Options{.program = QB_STANDIN_LAUNCHER});
    WriteHosts(launcher, hosts);
    std::string window = launcher.openMainWindow();
    EXPECT_FALSE(window.empty()) << "no main window";
    if (window.empty()) return "";
    for (int waited = 0; waited < 15000 && !ready(); waited += 100) usleep(100000);
    launcher.moveTo(kLeft + 700, kTop + 700);
    usleep(1500000);  // the texts are drawn on the next frame
    std::string shot = shots_.file(name + ".png");
    std::filesystem::copy_file(launcher.screenshot(name), shot);
    launcher.click(kLeft + 1139, kTop + 30);
    EXPECT_EQ(launcher.waitForExit(8000), 0) << name;
    return shot;
  }

  ScratchDirectory shots_;  // outlives each session's own directory
};

TEST_F(WeatherE2ETest, HomePanelShowsTheCityTemperatureAndWindTheServicesGive) {
  std::string echoAnswer = CityAnswer("203.0.113.7");
  // The stand-ins take program texts (code page 936): 深圳市 and 东北.
  std::string locationAnswer = LocationAnswer("\xC9\xEE\xDB\xDA\xCA\xD0");
  std::string weatherAnswer = LiveWeather("25", "\xB6\xAB\xB1\xB1", "3");
  LocalHttpServer echo(false, Answer(echoAnswer));
  LocalHttpServer geolocation(true, Answer(locationAnswer, "application/json"));
  LocalHttpServer weather(true, Answer(weatherAnswer, "application/json"));

  ServiceHosts standIns = RefusingHosts();
  standIns.ipEcho[0] = HostOf(echo);
  standIns.geolocation = HostOf(geolocation);
  standIns.weather = HostOf(weather);
  std::string shown = HomePanelWith(standIns, "weather-shown", [&] { return !weather.requests().empty(); });
  ASSERT_FALSE(shown.empty());

  // The chain ran: the caller's address went to the geolocation service, and the city found in
  // the catalogue's city table went to the weather service as its area code.
  ASSERT_FALSE(weather.requests().empty()) << "the weather service was never asked";
  EXPECT_NE(geolocation.lastRequest().requestLine().find("ip=203.0.113.7"), std::string::npos)
      << geolocation.lastRequest().requestLine();
  EXPECT_NE(weather.lastRequest().requestLine().find("city=440300"), std::string::npos)
      << weather.lastRequest().requestLine();

  std::string empty = HomePanelWith(RefusingHosts(), "weather-offline", [] { return false; });
  ASSERT_FALSE(empty.empty());
  for (const std::string& line : {kCityLine, kTemperatureLine, kWindLine})
    EXPECT_GT(ScreenDifference(shown, empty, line), 0.02) << "nothing drawn in " << line;
}

}  // namespace
