#include "net/WeatherReport.h"

#include <memory>
#include <mutex>

#include "catalogue/CatalogueQueries.h"
#include "net/LocationLookup.h"
#include "net/PublicIpLookup.h"
#include "net/ServiceHosts.h"
#include "net/TextEncodings.h"
#include "net/WinInetRequest.h"
#include "scripting/JsonDocument.h"
#include "shell/SharedState.h"
#include "shell/startup/UiTextConversion.h"

namespace {

const AnsiText kWeatherKey = "a3c9e1f07b5d2468ace0135797bdf024";

enum WeatherElement { kWeatherPanel = 1029, kCityText = 1031, kTemperatureText = 1033, kWindText = 1035 };

// The refresh thread installs, the UI thread and the exit clean-up read and release: one lock.
std::mutex weatherMutex;
std::unique_ptr<WeatherRecord> currentWeather = std::make_unique<WeatherRecord>();
bool weatherReleased = false;

void InstallWeather(WeatherRecord record) {
  std::lock_guard<std::mutex> lock(weatherMutex);
  if (weatherReleased) return;
  currentWeather = std::make_unique<WeatherRecord>(std::move(record));
}

AnsiText WeatherUrl(const AnsiText& areaCode) {
  return "https://" + CurrentServiceHosts().weather + "/v3/weather/weatherInfo?city=" + areaCode +
         "&key=" + kWeatherKey;
}

void SetElementText(int id, const AnsiText& text) {
  XShapeText_SetText(XC_GetObjectByID(MainWindow, id), ToUiText(text).c_str());
}

// The toolkit is not thread-safe, so the weather thread hands the writes to the UI thread.
intptr_t WriteWeatherTexts(intptr_t data) {
  const auto* texts = reinterpret_cast<const WeatherTexts*>(data);
  SetElementText(kTemperatureText, texts->temperature);
  SetElementText(kCityText, texts->city);
  SetElementText(kWindText, texts->wind);
  XEle_RedrawEle(XC_GetObjectByID(MainWindow, kWeatherPanel), FALSE);
  return 0;
}

}  // namespace

WeatherRecord FetchWeather() {
  JsonDocument document;
  NewJsonDocument(document);
  AnsiText location;
  AnsiText ip = LookupPublicIp(location, 1);
  WeatherRecord record;
  record.city = LookupLocation(ip).city;
  AnsiText areaCode = record.city.empty() ? AnsiText() : LookupCityAdcode(record.city);
  if (areaCode.empty()) return record;
  document.parse(Utf8ToAnsi(WinInetRequest(WeatherUrl(areaCode))));
  record.temperature = document.getText("lives[0].temperature");
  record.windDirection = document.getText("lives[0].winddirection");
  record.humidity = document.getText("lives[0].humidity");
  record.windPower = document.getText("lives[0].windpower");
  return record;
}

WeatherTexts FormatWeather(const WeatherRecord& record) {
  return WeatherTexts{record.temperature + "℃", record.city,
                      record.windDirection + "风 " + record.windPower + "级"};
}

void ShowWeather() {
  if (MainWindow == 0) return;
  WeatherTexts texts = FormatWeather(CurrentWeather());
  XC_CallUiThread(WriteWeatherTexts, reinterpret_cast<intptr_t>(&texts));
}

void RefreshWeather() {
  InstallWeather(FetchWeather());
  ShowWeather();
}

WeatherRecord CurrentWeather() {
  std::lock_guard<std::mutex> lock(weatherMutex);
  return currentWeather ? *currentWeather : WeatherRecord();
}

void ReleaseWeatherState() {
  std::lock_guard<std::mutex> lock(weatherMutex);
  currentWeather.reset();
  weatherReleased = true;
}
