// The live weather at the user's city, as the home panel shows it.
#pragma once

#include "shell/SharedTypes.h"

// Each field empty until learned.
struct WeatherRecord {
  AnsiText temperature;    // degrees Celsius
  AnsiText windDirection;  // a word such as 东北
  AnsiText windPower;      // the wind force grade
  AnsiText humidity;       // kept, not shown
  AnsiText city;           // from the location lookup, not from the weather answer
};
