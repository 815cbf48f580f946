#include "net/WeatherReport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "catalogue/CatalogueQueries.h"
#include "net/ServiceStandIns.h"
#include "platform/xcgui/TestHooks.h"
#include "shell/SharedState.h"
#include "shell/startup/StartUp.h"
#include "shell/startup/UiTextConversion.h"
#include "support/ScratchDirectory.h"

namespace {

const std::string kWeatherTarget = "/v3/weather/weatherInfo?city=440300&key=a3c9e1f07b5d2468ace0135797bdf024";

// Every service of the chain on a local server (provider 1 over http, the others over https),
// and a catalogue whose city_id knows 深圳市 and 广州市 (twice).
class WeatherReportTest : public ::testing::Test {
 protected:
  WeatherReportTest() {
    hosts_.hosts().ipEcho[0] = HostOf(echo_);
    hosts_.hosts().geolocation = HostOf(geolocation_);
    hosts_.hosts().weather = HostOf(weather_);
    hosts_.apply();
    MakeCatalogue();
  }
  ~WeatherReportTest() override { TheCatalogDb().close(); }

  void MakeCatalogue() {
    std::string path = scratch_.file("CONFIG.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    std::string sql = Utf8Of(
        "create table city_id (city TEXT, city_adcode TEXT);"
        "insert into city_id values ('北京市', '110000'), ('深圳市', '440300'), ('广州市', '440100'),"
        " ('广州市', '449999');");
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_TRUE(TheCatalogDb().open(path));
  }

  static httplib::Server::Handler Serve(const std::string& body, const char* type) {
    return [&body, type](const httplib::Request&, httplib::Response& response) {
      response.set_content(body, type);
    };
  }

  ScratchDirectory scratch_;
  std::string echoAnswer_ = CityAnswer("203.0.113.7");
  std::string locationAnswer_ = LocationAnswer("深圳市");
  std::string weatherAnswer_ = LiveWeather("25", "东北", "3");
  LocalHttpServer echo_{false, Serve(echoAnswer_, "text/html")};
  LocalHttpServer geolocation_{true, Serve(locationAnswer_, "application/json")};
  LocalHttpServer weather_{true, Serve(weatherAnswer_, "application/json")};
  ScopedServiceHosts hosts_{RefusingHosts()};
};

TEST_F(WeatherReportTest, FetchFollowsTheChainFromAddressToLiveWeather) {
  WeatherRecord record = FetchWeather();
  EXPECT_EQ(record.temperature, "25");
  EXPECT_EQ(record.windDirection, "东北");
  EXPECT_EQ(record.windPower, "3");
  EXPECT_EQ(record.humidity, "61");
  EXPECT_EQ(record.city, "深圳市");
  EXPECT_EQ(echo_.lastRequest().target, "/cityjson");
  EXPECT_EQ(geolocation_.lastRequest().target, "/api/index?ip=203.0.113.7&type=1");
  ASSERT_EQ(weather_.requests().size(), 1u);
  EXPECT_EQ(weather_.lastRequest().requestLine(), "GET " + kWeatherTarget + " HTTP/1.1");
}

TEST_F(WeatherReportTest, ChineseWindDirectionsArriveAsProgramText) {
  for (const char* direction : {"北", "东南", "西北", "旋转不定", "无风向"}) {
    weatherAnswer_ = LiveWeather("-3", direction, "≤3");
    WeatherRecord record = FetchWeather();
    EXPECT_EQ(record.windDirection, direction);
    EXPECT_EQ(record.windPower, "≤3");
    EXPECT_EQ(record.temperature, "-3");
    EXPECT_EQ(FormatWeather(record).wind, AnsiText(direction) + "风 ≤3级");
  }
}

TEST_F(WeatherReportTest, ACityMissingFromTheTableSendsNoWeatherRequest) {
  locationAnswer_ = LocationAnswer("拉萨市");
  WeatherRecord record = FetchWeather();
  EXPECT_EQ(record.city, "拉萨市");
  EXPECT_EQ(record.temperature, "");
  EXPECT_EQ(record.windDirection, "");
  EXPECT_EQ(record.windPower, "");
  EXPECT_EQ(record.humidity, "");
  EXPECT_TRUE(weather_.requests().empty());
}

TEST_F(WeatherReportTest, ACityWithAQuoteFindsNoRow) {
  locationAnswer_ = LocationAnswer("深'圳市");
  WeatherRecord record = FetchWeather();
  EXPECT_EQ(record.city, "深'圳市");
  EXPECT_EQ(record.temperature, "");
  EXPECT_TRUE(weather_.requests().empty());
}

TEST_F(WeatherReportTest, TheFirstOfSeveralRowsForACityGivesTheAreaCode) {
  locationAnswer_ = LocationAnswer("广州市");
  EXPECT_EQ(FetchWeather().temperature, "25");
  EXPECT_EQ(weather_.lastRequest().target,
            "/v3/weather/weatherInfo?city=440100&key=a3c9e1f07b5d2468ace0135797bdf024");
}

TEST_F(WeatherReportTest, AnAnswerWithoutLivesLeavesTheWeatherEmpty) {
  for (const char* answer :
       {R"({"status":"0","info":"INVALID_USER_KEY","infocode":"10001"})",
        R"({"status":"1","count":"0","lives":[]})", "<html><body>502 Bad Gateway</body></html>", ""}) {
    weatherAnswer_ = answer;
    WeatherRecord record = FetchWeather();
    EXPECT_EQ(record.temperature, "") << answer;
    EXPECT_EQ(record.windDirection, "") << answer;
    EXPECT_EQ(record.windPower, "") << answer;
    EXPECT_EQ(record.city, "深圳市") << answer;
  }
  EXPECT_EQ(weather_.requests().size(), 4u);
}

TEST_F(WeatherReportTest, NoNetworkGivesAnEmptyRecord) {
  hosts_.hosts() = RefusingHosts();
  hosts_.apply();
  WeatherRecord record = FetchWeather();
  EXPECT_EQ(record.temperature, "");
  EXPECT_EQ(record.windDirection, "");
  EXPECT_EQ(record.city, "");
  EXPECT_TRUE(weather_.requests().empty());
}

TEST_F(WeatherReportTest, AFailingAddressServiceStillAsksWhereTheCallerIs) {
  hosts_.hosts().ipEcho[0] = RefusingHost();
  hosts_.apply();
  WeatherRecord record = FetchWeather();
  EXPECT_EQ(geolocation_.lastRequest().target, "/api/index?ip=&type=1");
  EXPECT_EQ(record.city, "深圳市");
  EXPECT_EQ(record.temperature, "25");
}

TEST(WeatherTextsTest, UnknownValuesLeaveTheUnitsAlone) {
  WeatherTexts full = FormatWeather({"25", "东北", "3", "61", "深圳市"});
  EXPECT_EQ(full.temperature, "25℃");
  EXPECT_EQ(full.city, "深圳市");
  EXPECT_EQ(full.wind, "东北风 3级");

  WeatherTexts none = FormatWeather({});
  EXPECT_EQ(none.temperature, "℃");
  EXPECT_EQ(none.city, "");
  EXPECT_EQ(none.wind, "风 级");
}

TEST_F(WeatherReportTest, CurrentWeatherIsEmptyUntilARefreshInstallsOne) {
  EXPECT_EQ(CurrentWeather().city, "");
  RefreshWeather();  // no main window: nothing to show
  EXPECT_EQ(CurrentWeather().temperature, "25");
  EXPECT_EQ(CurrentWeather().city, "深圳市");
}

TEST_F(WeatherReportTest, ASecondRefreshReplacesTheWholeRecord) {
  RefreshWeather();
  locationAnswer_ = LocationAnswer("拉萨市");
  RefreshWeather();
  WeatherRecord record = CurrentWeather();
  EXPECT_EQ(record.city, "拉萨市");
  EXPECT_EQ(record.temperature, "");
  EXPECT_EQ(record.windDirection, "");
  EXPECT_EQ(record.humidity, "");
}

// The weather elements of the home panel in a window of their own, on the real toolkit.
class WeatherPanelTest : public WeatherReportTest {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    static const bool initialised = XInitXCGUI(u"weather");
    ASSERT_TRUE(initialised);
    std::string layout = scratch_.file("weather.xml");
    std::ofstream(layout) << R"(<?xml version="1.0" encoding="UTF-8"?>
<window title="weather" x="0" y="0" width="400" height="200" layout="vertical">
  <layout id="1029" width="fill" height="fill" layout="vertical">
    <shapetext id="1031" width="fill" height="24" text="old city"/>
    <shapetext id="1033" width="fill" height="48" text="old temperature"/>
    <shapetext id="1035" width="fill" height="22" text="old wind"/>
  </layout>
</window>
)";
    MainWindow = XC_LoadLayout(ToUiText(layout).c_str(), 0);
    ASSERT_NE(MainWindow, 0);
    XWnd_ShowWindow(MainWindow, 5);
    XTest_Pump(2);
  }

  // Runs a refresh on a thread of its own, as the home panel does, while this (UI) thread
  // pumps so the hand-over to the UI thread can run.
  void RefreshOnWeatherThread() {
    std::atomic<bool> done{false};
    std::thread worker([&done] {
      RefreshWeather();
      done = true;
    });
    DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < 40000) {
      XTest_Pump(1);
      Sleep(2);
    }
    if (!done) {
      worker.detach();
      FAIL() << "the weather thread did not finish";
    }
    worker.join();
    XTest_Pump(2);
  }

  static AnsiText Text(int id) { return FromUiText(XShapeText_GetText(XC_GetObjectByID(MainWindow, id))); }
};

TEST_F(WeatherPanelTest, RefreshShowsTemperatureCityAndWind) {
  RefreshOnWeatherThread();
  EXPECT_EQ(Text(1033), "25℃");
  EXPECT_EQ(Text(1031), "深圳市");
  EXPECT_EQ(Text(1035), "东北风 3级");
  EXPECT_TRUE(XTest_RenderToPng(MainWindow, scratch_.file("weather.png").c_str()));
}

TEST_F(WeatherPanelTest, NoNetworkShowsTheUnitsAlone) {
  hosts_.hosts() = RefusingHosts();
  hosts_.apply();
  RefreshOnWeatherThread();
  EXPECT_EQ(Text(1033), "℃");
  EXPECT_EQ(Text(1031), "");
  EXPECT_EQ(Text(1035), "风 级");
}

TEST_F(WeatherPanelTest, ACityWithoutWeatherShowsTheCityBesideTheUnits) {
  locationAnswer_ = LocationAnswer("拉萨市");
  RefreshOnWeatherThread();
  EXPECT_EQ(Text(1031), "拉萨市");
  EXPECT_EQ(Text(1033), "℃");
  EXPECT_EQ(Text(1035), "风 级");
}

TEST_F(WeatherPanelTest, ASecondRefreshReplacesTheShownValuesCompletely) {
  RefreshOnWeatherThread();
  weatherAnswer_ = LiveWeather("7", "西南", "4");
  RefreshOnWeatherThread();
  EXPECT_EQ(Text(1033), "7℃");
  EXPECT_EQ(Text(1035), "西南风 4级");
  hosts_.hosts().weather = RefusingHost();
  hosts_.apply();
  RefreshOnWeatherThread();
  EXPECT_EQ(Text(1033), "℃");
  EXPECT_EQ(Text(1031), "深圳市");
  EXPECT_EQ(Text(1035), "风 级");
}

// Releasing is for good, so it comes after every other case when they share one process.
class WeatherStateReleaseTest : public WeatherReportTest {
 protected:
  // Every connection opened while this is registered reports its closing here, with the city
  // of the weather record held at that moment.
  static int WatchClosing(sqlite3* db, char**, const sqlite3_api_routines*) {
    sqlite3_trace_v2(
        db, SQLITE_TRACE_CLOSE,
        [](unsigned, void*, void*, void*) {
          cityAtClose_ = CurrentWeather().city;
          return 0;
        },
        nullptr);
    return SQLITE_OK;
  }
  static inline AnsiText cityAtClose_ = "(never closed)";
};

TEST_F(WeatherStateReleaseTest, ExitCleanupClosesTheCatalogueBeforeItReleasesTheWeather) {
  RefreshWeather();
  auto watch = reinterpret_cast<void (*)()>(&WatchClosing);
  sqlite3_auto_extension(watch);
  ASSERT_TRUE(TheCatalogDb().open(scratch_.file("CONFIG.db")));
  sqlite3_cancel_auto_extension(watch);
  ExitCleanup();
  EXPECT_EQ(cityAtClose_, "深圳市");
  EXPECT_EQ(CurrentWeather().city, "");
}

TEST_F(WeatherStateReleaseTest, AfterReleaseARefreshInstallsNothing) {
  RefreshWeather();
  ReleaseWeatherState();
  EXPECT_EQ(CurrentWeather().temperature, "");
  RefreshWeather();
  EXPECT_EQ(CurrentWeather().temperature, "");
  EXPECT_EQ(CurrentWeather().city, "");
}

}  // namespace
