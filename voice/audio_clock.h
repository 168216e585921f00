// The audio clock: seconds since the process started (or since a test's clock
// was installed), as a double. Every audio time stamp uses it. Main thread.
#pragma once

class Clock;

double AudioClockSeconds();

// Makes the audio clock read `clock` from now on, starting again at 0; null
// goes back to the system clock. For tests.
void SetAudioClock(const Clock* clock);
