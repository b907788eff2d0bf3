#pragma once
// Time as the program sees it. Everything comes from the simulated machine's one
// clock (vb::GetClock), which tests replace.
#include <cstdint>

namespace plat {

uint64_t GetTickCount64();                      // milliseconds, monotonic
void Sleep(uint32_t milliseconds);
bool QueryPerformanceFrequency(int64_t* frequency);  // ticks per second
bool QueryPerformanceCounter(int64_t* counter);
uint64_t ReadTsc();                             // the processor's time-stamp counter

} // namespace plat
