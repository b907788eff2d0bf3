#pragma once
// The HyperTransport link block and the two bridges.
#include "QVXLogic/Device.h"

// dtHTLink: links 0..n of the one link block. GetLinkInfo is false after the last link.
class QVXLOGIC_API IHTLinkDevice : public IPciDevice {
public:
    virtual bool GetLinkInfo(int link, HTLINK_INFO* info) = 0;   // 16
    virtual bool SetLinkInfo(int link, HTLINK_INFO* info) = 0;   // 17 takes dLinkMultiplier
};

// dtNorthBridge: required at start-up.
class QVXLOGIC_API INorthBridgeDevice : public IPciDevice {
public:
    virtual double GetMaxHTMultiplier() = 0;                     // 16
    virtual bool SetHTLinkMultiplier(double multiplier) = 0;     // 17
};

// dtSouthBridge with its hardware monitor. Missing readings are -9999.0.
class QVXLOGIC_API ISouthBridgeDevice : public IPciDevice {
public:
    virtual void Reserved16() = 0;                               // 16-22 unused
    virtual void Reserved17() = 0;
    virtual void Reserved18() = 0;
    virtual void Reserved19() = 0;
    virtual void Reserved20() = 0;
    virtual void Reserved21() = 0;
    virtual void Reserved22() = 0;
    virtual double GetFanSpeed(int fan) = 0;                     // 23 rpm
    virtual int GetFanCount() = 0;                               // 24
    virtual double GetTemperature(int sensor) = 0;               // 25 deg C
    virtual double GetVoltage(int input) = 0;                    // 26 V
    virtual int GetVoltageCount() = 0;                           // 27
    virtual bool SetKeepAliveMode(bool on) = 0;                  // 28
    virtual bool SendKeepAlive(bool alive) = 0;                  // 29
    virtual bool ApplyHTLinkChange() = 0;                        // 30
};
