#pragma once
// The kernel driver's client: hardware access through driver requests.
#include <cstdint>

class IDriverHandler {
public:
    virtual ~IDriverHandler() = default;
    virtual bool RDMSR(uint32_t msr, uint32_t& low, uint32_t& high) = 0;
};

class CDriverHandler : public IDriverHandler {
public:
    bool Init();
    bool UnInit();
    bool RDMSR(uint32_t msr, uint32_t& low, uint32_t& high) override;
};

extern CDriverHandler g_DriverHandler;
IDriverHandler& g_GetDriverHandler();
