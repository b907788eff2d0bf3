#pragma once
// The two voltage regulators; values in volts x 100000. A rail getter returning
// exactly 0.0 means the rail is absent.
#include "QVXLogic/Device.h"

class QVXLOGIC_API IPWMControllerDevice : public IDevice {
public:
    virtual bool IsAvailable() = 0;                      // 10
    virtual double GetMemVDDQ() = 0;                     // 11
    virtual bool SetMemVDDQ(double value) = 0;           // 12 VTT follows VDDQ / 2
    virtual double GetMemVTT() = 0;                      // 13
    virtual bool SetMemVTT(double value) = 0;            // 14
    virtual double GetCPUVDDC() = 0;                     // 15
    virtual bool SetCPUVDDC(double value) = 0;           // 16
    virtual double GetNBCoreVoltage() = 0;               // 17
    virtual bool SetNBCoreVoltage(double value) = 0;     // 18
    virtual double GetNBPCIEVoltage() = 0;               // 19
    virtual bool SetNBPCIEVoltage(double value) = 0;     // 20
    virtual double GetCPUHTVoltage() = 0;                // 21
    virtual bool SetCPUHTVoltage(double value) = 0;      // 22
    virtual const PWM_RAIL_INFO* GetRailTable() = 0;     // 23 prCount records in rail order
};

class QVXLOGIC_API IPWMController2Device : public IDevice {
public:
    virtual int GetChannelCount() = 0;                           // 10
    virtual const char16_t* GetChannelName(int channel) = 0;     // 11 empty for no such channel
    virtual double GetChannelMin(int channel) = 0;               // 12
    virtual double GetChannelMax(int channel) = 0;               // 13
    virtual double GetChannelDefault(int channel) = 0;           // 14
    virtual double GetChannelStep(int channel) = 0;              // 15
    virtual double GetChannelVoltage(int channel) = 0;           // 16
    virtual bool SetChannelVoltage(int channel, double value) = 0; // 17
};
