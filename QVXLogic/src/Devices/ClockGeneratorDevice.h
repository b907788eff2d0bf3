#pragma once
#include "Devices/DeviceSupport.h"
#include "QVXLogic/ClockGeneratorDevice.h"

namespace qvx {

class CClockGeneratorDevice final : public CDevice<IClockGeneratorDevice> {
public:
    explicit CClockGeneratorDevice(const vb::ClockGenState& cg)
        : CDevice(dtClockGenerator, 0, cg.id, "CG") {}
    double GetHTRefClock() override;
    double GetPCIeClock() override;
    double GetSBClock() override;
    double GetDefaultHTRefClock() override;
    double GetDefaultPCIeClock() override;
    double GetDefaultSBClock() override;
    double GetHTRefClockMin() override;
    double GetPCIeClockMin() override;
    double GetSBClockMin() override;
    double GetHTRefClockMax() override;
    double GetPCIeClockMax() override;
    double GetSBClockMax() override;
    double GetHTRefClockStep() override;
    double GetPCIeClockStep() override;
    double GetSBClockStep() override;
    bool SetHTRefClock(double mhz) override;
    bool SetPCIeClock(double mhz) override;
    bool SetSBClock(double mhz) override;
    bool HasClockRanges() override;
    bool GetHTRefClockList(double* list, int* count) override;
    bool GetPCIeClockList(double* list, int* count) override;

private:
    enum Which { kRef, kPcie, kSb };
    double _Get(Which which, double vb::ClockDef::*field);
    bool _Set(Which which, double mhz, const char* operation);
    bool _List(Which which, double* list, int* count, const char* operation);
};

} // namespace qvx
