#pragma once
// The kernel driver's client: hardware access through driver requests.
#include <cstdint>

class IDriverHandler {
public:
    virtual ~IDriverHandler() = default;
    virtual bool RDMSR(uint32_t msr, uint32_t& low, uint32_t& high) = 0;
    virtual char* MapPhysicalMemory(uint64_t address, uint32_t size) = 0;
    virtual bool UnmapPhysicalMemory(char* address) = 0;
    virtual bool ReadMemory(uint64_t address, uint32_t length, char* destination) = 0;
};

class CDriverHandler : public IDriverHandler {
public:
    bool Init();
    bool UnInit();
    bool RDMSR(uint32_t msr, uint32_t& low, uint32_t& high) override;
    char* MapPhysicalMemory(uint64_t address, uint32_t size) override;
    bool UnmapPhysicalMemory(char* address) override;
    bool ReadMemory(uint64_t address, uint32_t length, char* destination) override;
};

extern CDriverHandler g_DriverHandler;
IDriverHandler& g_GetDriverHandler();
