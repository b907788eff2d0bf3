#pragma once
// dtCPU: one device per core. All cores share one name (their stored settings
// share one sub-group) and the type word "CPU".
#include "QVXLogic/Device.h"

class QVXLOGIC_API ICPUDevice : public IDevice {
public:
    virtual int GetExtFamily() = 0;                          // 10 family = ext + base
    virtual int GetBaseFamily() = 0;                         // 11
    virtual int GetBaseModel() = 0;                          // 12
    virtual int GetExtModel() = 0;                           // 13
    virtual unsigned long GetStepping() = 0;                 // 14
    virtual unsigned long GetSignature() = 0;                // 15 CPUID function 1 EAX
    virtual const char16_t* GetInfoString() = 0;             // 16 package
    virtual const char16_t* GetInfoString2() = 0;            // 17 silicon revision "XX-Sn"
    virtual const INSTRUCTION_SET_INFO* GetInstructionSet() = 0; // 18 null = unavailable
    virtual double GetCurrentFrequency() = 0;                // 19 MHz
    virtual double GetMaxFrequency() = 0;                    // 20 Hz
    virtual double GetUsage() = 0;                           // 21 %
    virtual double GetCPUVid() = 0;                          // 22 V
    virtual double GetStartVoltage() = 0;                    // 23 V
    virtual double GetMinVoltage() = 0;                      // 24 V
    virtual double GetMaxVoltage() = 0;                      // 25 V
    virtual double GetMaxRampVoltage() = 0;                  // 26 V
    virtual bool SetCPUVid(double volts) = 0;                // 27
    virtual double GetCurrentMultiplier() = 0;               // 28 never 0
    virtual double GetMaxMultiplier() = 0;                   // 29
    virtual double GetStartMultiplier() = 0;                 // 30
    virtual bool SetMultiplier(double multiplier) = 0;       // 31
    virtual double GetNBMultiplier() = 0;                    // 32
    virtual double GetNBFrequency() = 0;                     // 33 MHz
    virtual double GetNBVid() = 0;                           // 34 V; <= 0 none
    virtual bool SetNBVid(double volts) = 0;                 // 35
    virtual const CACHE_INFO* GetL1DataCacheInfo() = 0;      // 36
    virtual const CACHE_INFO* GetL1CodeCacheInfo() = 0;      // 37
    virtual const CACHE_INFO* GetL2CacheInfo() = 0;          // 38
    virtual const CACHE_INFO* GetL3CacheInfo() = 0;          // 39 size 0 = no L3
    virtual const double* GetTemperature() = 0;              // 40 two values (0 = none), null = no sensor
    virtual bool IsPerCoreControlSupported() = 0;            // 41
    virtual bool IsPerCoreClockSupported() = 0;              // 42 always equal to slot 41
    virtual bool IsHalfMultiplierSupported() = 0;            // 43
    virtual int GetMaxPstateIndex() = 0;                     // 44
    virtual int GetCurrentPstate() = 0;                      // 45
    virtual bool GetPstateInfo(int pstate, PSTATE_INFO* info) = 0;        // 46
    virtual bool SetPstateInfo(int pstate, const PSTATE_INFO* info) = 0;  // 47 raw fields + enable
    virtual bool SetPstate(int pstate) = 0;                  // 48
    virtual bool GetBoostMode(bool* boost, bool* second) = 0; // 49
    virtual bool SetBoostMode(bool boost, bool second) = 0;  // 50
};
