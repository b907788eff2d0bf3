#pragma once
// The value-store items of Auto Clock: group = a device's type word, sub-group =
// its name, as every page stores its devices' values.
#include <QString>

#include "QVXLogic/Device.h"

namespace autotune {

inline const QString kCPUTune = QStringLiteral("CPUTune");
inline const QString kMultiplierTune = QStringLiteral("MultiplierTune");
inline const QString kMemoryClockTune = QStringLiteral("MemoryClockTune");
inline const QString kHTRefClock = QStringLiteral("HTRefClock");
inline const QString kMemoryClock = QStringLiteral("Memory Clock");
// The core voltage, as the Clock/Voltage page stores it: volts x kVoltScale.
inline const QString kCPUVID = QStringLiteral("CPUVID");
constexpr double kVoltScale = 100000.0;

inline QString Group(IDevice* pDevice) { return QString::fromUtf16(pDevice->GetTypeName()); }
inline QString SubGroup(IDevice* pDevice) { return QString::fromUtf16(pDevice->GetName()); }

// "Multiplier" for core 0, "Multiplier2" for core 1, and so on; all stand under
// core 0's group.
inline QString MultiplierItem(unsigned long nCore)
{
    return nCore == 0 ? QStringLiteral("Multiplier") : QStringLiteral("Multiplier%1").arg(nCore + 1);
}

// The multiplier a core had for the last result: "MultiplierTune" for core 0 (the
// tuner's own item), "MultiplierTune2" for core 1, and so on, beside it.
inline QString MultiplierTuneItem(unsigned long nCore)
{
    return nCore == 0 ? kMultiplierTune : kMultiplierTune + QString::number(nCore + 1);
}

} // namespace autotune
