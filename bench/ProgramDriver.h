#pragma once
// Runs the whole program as it starts for a user (its start-up, main window and
// pages on the default simulated board) in a folder of its own, and hands its
// window to a scenario once it is shown. Its message boxes answer OK.
#include <functional>

class ZAR;

namespace bench {

// The scenario's result; false too when the program did not start or ended badly.
// Without a display the window is drawn offscreen.
bool RunProgramWith(int argc, char** argv, const std::function<bool(ZAR&)>& scenario);

// Lets the program run (its timers, paints and threads) for the given time.
void Pump(int ms);
// Pumps in short slices until done() holds, calling eachSlice() after each;
// false when timeoutMs passed first.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs, const std::function<void()>& eachSlice = {});

} // namespace bench
