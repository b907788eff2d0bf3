#pragma once
// Reads and writes of a mapped device register window. On hardware these are
// volatile loads and stores; here a window the simulated driver mapped reaches the
// device model, so registers with side effects behave. Every Engine access to a
// mapped register goes through these.
#include <cstdint>

namespace plat {

uint32_t MmioRead32(const volatile void* address);
void MmioWrite32(volatile void* address, uint32_t value);
uint8_t MmioRead8(const volatile void* address);
void MmioWrite8(volatile void* address, uint8_t value);

} // namespace plat
