// The weather on the home panel: public IP, city, area code, live weather, shown once.
#pragma once

#include "net/WeatherRecord.h"

// The weather thread's entry: FetchWeather, install the result as CurrentWeather, ShowWeather.
void RefreshWeather();

// Runs the lookup chain. Steps that fail leave their fields empty; a city without an area code
// sends no weather request. Every request has a time-out, so this always returns.
WeatherRecord FetchWeather();

// Writes CurrentWeather into the main window's weather elements, on the UI thread (the call
// blocks until the UI thread has run it). All three texts are always written, so nothing of an
// earlier refresh survives; unknown values leave their units alone. Without a main window
// there is nothing to write to.
void ShowWeather();

// A copy of the process-wide record: empty fields from start-up until a refresh installs one,
// and again after ReleaseWeatherState.
WeatherRecord CurrentWeather();
// Releases the record at exit; a refresh still running then installs nothing.
void ReleaseWeatherState();

// The texts of the three weather elements.
struct WeatherTexts {
  AnsiText temperature;  // element 1033: temperature + "℃"
  AnsiText city;         // element 1031
  AnsiText wind;         // element 1035: direction + "风 " + power + "级"
};
WeatherTexts FormatWeather(const WeatherRecord& record);
