// Helpers every animation uses: the eased step value and the 1 ms message-pumping pause.
#pragma once

// XEase_Expo(step / steps, 1): the eased fraction of an animation after `step` of `steps`.
float EasedFraction(int step, int steps);

// Keeps messages flowing for at least `milliseconds` ms of tick count (0 or less: returns at once).
void PumpingPause(int milliseconds);
