#include "Platform/Mmio.h"

#include "VirtualBoard/KernelDriver.h"

namespace plat {

namespace {
vb::KernelDriver& Driver() { return vb::Machine::Instance().Get<vb::KernelDriver>(); }
}

uint32_t MmioRead32(const volatile void* address)
{
    uint32_t value = 0;
    if (Driver().MmioRead(address, 4, &value))
        return value;
    return *static_cast<const volatile uint32_t*>(address);
}

void MmioWrite32(volatile void* address, uint32_t value)
{
    if (!Driver().MmioWrite(address, 4, value))
        *static_cast<volatile uint32_t*>(address) = value;
}

uint8_t MmioRead8(const volatile void* address)
{
    uint32_t value = 0;
    if (Driver().MmioRead(address, 1, &value))
        return static_cast<uint8_t>(value);
    return *static_cast<const volatile uint8_t*>(address);
}

void MmioWrite8(volatile void* address, uint8_t value)
{
    if (!Driver().MmioWrite(address, 1, value))
        *static_cast<volatile uint8_t*>(address) = value;
}

} // namespace plat
