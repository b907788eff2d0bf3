#pragma once
// dtClockGenerator: reference (HT), PCIe and south-bridge clocks in MHz. In range
// mode any clock in [min, max] by step is accepted; in list mode only list entries.
#include "QVXLogic/Device.h"

class QVXLOGIC_API IClockGeneratorDevice : public IDevice {
public:
    virtual double GetHTRefClock() = 0;                  // 10
    virtual double GetPCIeClock() = 0;                   // 11
    virtual double GetSBClock() = 0;                     // 12
    virtual double GetDefaultHTRefClock() = 0;           // 13
    virtual double GetDefaultPCIeClock() = 0;            // 14
    virtual double GetDefaultSBClock() = 0;              // 15
    virtual double GetHTRefClockMin() = 0;               // 16
    virtual double GetPCIeClockMin() = 0;                // 17
    virtual double GetSBClockMin() = 0;                  // 18
    virtual double GetHTRefClockMax() = 0;               // 19
    virtual double GetPCIeClockMax() = 0;                // 20
    virtual double GetSBClockMax() = 0;                  // 21
    virtual double GetHTRefClockStep() = 0;              // 22
    virtual double GetPCIeClockStep() = 0;               // 23
    virtual double GetSBClockStep() = 0;                 // 24
    virtual bool SetHTRefClock(double mhz) = 0;          // 25
    virtual bool SetPCIeClock(double mhz) = 0;           // 26
    virtual bool SetSBClock(double mhz) = 0;             // 27
    virtual bool HasClockRanges() = 0;                   // 28
    // list null: *count = number of entries; else fills up to *count entries and
    // sets *count to the number written.
    virtual bool GetHTRefClockList(double* list, int* count) = 0;  // 29
    virtual bool GetPCIeClockList(double* list, int* count) = 0;   // 30
};
