#pragma once
// How the "Detailed" page turns device values into the texts of its rows. Numbers
// use the C locale: a point as the decimal separator, no group separators.
#include <QString>

#include <cstddef>

#include "QVXLogic/Device.h"
#include "Shell/RecordText.h"
#include "SystemInfo/BasicInfoFormat.h"

namespace sysinfo {

using text::DeviceText;
using text::KnownText;
using text::RecordText;
// The number notations both system-information pages write ("1.325", "500.00").
using basicinfo::Fixed;
using basicinfo::General;
// A clock in Hz as whole MHz rounded down to a multiple of 10 ("3210" for
// 3214.5 MHz); in 64 bits, so clocks of 4.3 GHz and more show right. A value that
// is no clock (negative, not finite, beyond 64 bits) is shown as the device gave it.
QString MaxFrequencyMHz(double hz);

// The device as its type's interface; null when it is not of that type.
template <class T>
T* Typed(IDevice* pDevice, QVX_DEVICE_TYPE eType)
{
    return pDevice && pDevice->GetType() == eType ? static_cast<T*>(pDevice) : nullptr;
}

} // namespace sysinfo
