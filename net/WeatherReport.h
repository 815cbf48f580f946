// The weather on the home panel: public IP, city, area code, live weather, shown once.
#pragma once

#include <optional>

#include "net/WeatherRecord.h"

// The weather thread's entry: FetchWeather, install the result as CurrentWeather, ShowWeather.
void RefreshWeather();

// Runs the lookup chain. Steps that fail leave their fields empty; a city without an area code
// sends no weather request. Every request has a time-out, so this always returns.
WeatherRecord FetchWeather();

// Writes CurrentWeather into the main window's weather elements, on the UI thread (the call
// blocks until the UI thread has run it). Elements whose values are unknown keep their texts,
// so a failed refresh never replaces a good panel with bare units; with nothing known at all,
// or no main window, the toolkit is not called.
void ShowWeather();

// A copy of the process-wide record: empty fields from start-up until a refresh installs one,
// and again after ReleaseWeatherState.
WeatherRecord CurrentWeather();
// Releases the record at exit; a refresh still running then installs nothing.
void ReleaseWeatherState();

// The texts of the three weather elements; an empty optional leaves that element as it is.
struct WeatherTexts {
  std::optional<AnsiText> temperature;  // element 1033
  std::optional<AnsiText> city;         // element 1031
  std::optional<AnsiText> wind;         // element 1035
};
WeatherTexts FormatWeather(const WeatherRecord& record);
