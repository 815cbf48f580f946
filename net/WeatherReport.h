// The weather on the home panel: public IP, city, area code, live weather, shown once.
#pragma once

// The weather thread's entry.
void RefreshWeather();
