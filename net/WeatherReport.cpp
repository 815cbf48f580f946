#include "net/WeatherReport.h"

// The lookup chain arrives with the network routines; until then the home panel keeps its
// weather texts empty.
void RefreshWeather() {}
