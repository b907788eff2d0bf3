#pragma once
#include <array>

#include "Devices/DeviceSupport.h"
#include "QVXLogic/CpuDevice.h"

namespace qvx {

// One processor core; index = core number over all packages.
class CCpuDevice final : public CDevice<ICPUDevice> {
public:
    CCpuDevice(int index, const vb::CpuState& cpu);

    int GetExtFamily() override;
    int GetBaseFamily() override;
    int GetBaseModel() override;
    int GetExtModel() override;
    unsigned long GetStepping() override;
    unsigned long GetSignature() override;
    const char16_t* GetInfoString() override;
    const char16_t* GetInfoString2() override;
    const INSTRUCTION_SET_INFO* GetInstructionSet() override;
    double GetCurrentFrequency() override;
    double GetMaxFrequency() override;
    double GetUsage() override;
    double GetCPUVid() override;
    double GetStartVoltage() override;
    double GetMinVoltage() override;
    double GetMaxVoltage() override;
    double GetMaxRampVoltage() override;
    bool SetCPUVid(double volts) override;
    double GetCurrentMultiplier() override;
    double GetMaxMultiplier() override;
    double GetStartMultiplier() override;
    bool SetMultiplier(double multiplier) override;
    double GetNBMultiplier() override;
    double GetNBFrequency() override;
    double GetNBVid() override;
    bool SetNBVid(double volts) override;
    const CACHE_INFO* GetL1DataCacheInfo() override;
    const CACHE_INFO* GetL1CodeCacheInfo() override;
    const CACHE_INFO* GetL2CacheInfo() override;
    const CACHE_INFO* GetL3CacheInfo() override;
    const double* GetTemperature() override;
    bool IsPerCoreControlSupported() override;
    bool IsPerCoreClockSupported() override;
    bool IsHalfMultiplierSupported() override;
    int GetMaxPstateIndex() override;
    int GetCurrentPstate() override;
    bool GetPstateInfo(int pstate, PSTATE_INFO* info) override;
    bool SetPstateInfo(int pstate, const PSTATE_INFO* info) override;
    bool SetPstate(int pstate) override;
    bool GetBoostMode(bool* boost, bool* second) override;
    bool SetBoostMode(bool boost, bool second) override;

private:
    template <class T>
    T _Read(T vb::CpuState::*field)
    {
        QVX_LOCK_BOARD;
        return b.cpu.*field;
    }

    uint32_t _Signature();
    const CACHE_INFO* _Cache(size_t level, const char* operation);

    // Identity and caches do not change while the device exists.
    const uint32_t m_uSignature;
    const std::u16string m_Package, m_Revision;
    INSTRUCTION_SET_INFO m_InstructionSet{};
    std::array<CACHE_INFO, 4> m_Caches{};
};

} // namespace qvx
