// Finding the flash disk among the disk drives that device setup lists.
#include "SystemInfo/Corvane.h"

#include <QString>

#include <memory>
#include <string_view>
#include <vector>

#include "Engine/LogCheck.h"
#include "Platform/LastError.h"

namespace {

struct DeviceListRelease {
    void operator()(plat::DeviceInfoList* hDevInfo) const { plat::SetupDiDestroyDeviceInfoList(hDevInfo); }
};
using DeviceListHolder = std::unique_ptr<plat::DeviceInfoList, DeviceListRelease>;

// The outcome of a failed property read: a device without the property is skipped
// (true, the search goes on); any other error ends the search.
bool PropertyReadFailed(uint32_t uError, LOG_TYPE type)
{
    if (uError == plat::kErrorInvalidData)
        return true;
    g_Log.Write(type, "SetupDiGetDeviceInterfaceDetail failed with error: %d\n", static_cast<int>(uError));
    return false;
}

} // namespace

int QCorvane::GetCorvaneDiskID()
{
    using plat::INVALID_HANDLE_VALUE;
    plat::HDEVINFO hDevInfo = plat::SetupDiGetClassDevs(&plat::GUID_DEVCLASS_DISKDRIVE, plat::DIGCF_PRESENT);
    LOG_PROCESS_ERROR_RET(hDevInfo != INVALID_HANDLE_VALUE, -1);
    const DeviceListHolder holder(hDevInfo);     // released on every way out

    const std::u16string_view prefix(kHardwareIdPrefix);
    for (unsigned uIndex = 0;; ++uIndex) {
        char16_t szHardwareID[kHardwareIdCapacity] = {};
        uint32_t uUINumber = static_cast<uint32_t>(-1);
        if (!ReadDiskInfo(hDevInfo, uIndex, szHardwareID, kHardwareIdCapacity, &uUINumber))
            return -1;
        if (std::u16string_view(szHardwareID).substr(0, prefix.size()) == prefix)
            return static_cast<int>(uUINumber);
    }
}

bool QCorvane::ReadDiskInfo(plat::HDEVINFO hDevInfo, unsigned uIndex, char16_t* pszHardwareID, size_t uCapacity,
                            uint32_t* puUINumber)
{
    if (!pszHardwareID || uCapacity == 0 || !puUINumber)
        return false;
    plat::SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    if (!plat::SetupDiEnumDeviceInfo(hDevInfo, uIndex, &data)) {
        const uint32_t uError = plat::GetLastError();
        if (uError == plat::kErrorNoMoreItems)
            g_Log.Write(ltInfo, "No more devices.");
        else
            g_Log.Write(ltWarning, "SetupDiEnumDeviceInfo failed with error: %d", static_cast<int>(uError));
        return false;
    }

    uint32_t uSize = 0;
    if (!plat::SetupDiGetDeviceRegistryProperty(hDevInfo, &data, plat::SPDRP_HARDWAREID, nullptr, nullptr, 0, &uSize)
        && plat::GetLastError() != plat::kErrorInsufficientBuffer)
        return PropertyReadFailed(plat::GetLastError(), ltWarning);
    // Zero-filled, with room for a terminator the property may lack.
    std::vector<uint8_t> block(uSize + sizeof(char16_t) * 2, 0);
    if (!plat::SetupDiGetDeviceRegistryProperty(hDevInfo, &data, plat::SPDRP_HARDWAREID, nullptr, block.data(), uSize,
                                                &uSize))
        return PropertyReadFailed(plat::GetLastError(), ltWarning);

    // The first string of the multi-string, read as bytes (the block has no char16_t alignment).
    std::u16string id;
    for (size_t i = 0; i + 1 < block.size(); i += 2) {
        const auto c = static_cast<char16_t>(block[i] | (block[i + 1] << 8));
        if (!c)
            break;
        id.push_back(c);
    }
    g_Log.Write(ltInfo, "\nHardwareID: %s\n", QString::fromStdU16String(id).toUtf8().constData());
    // An ID longer than the buffer is cut; the buffer always ends in a terminator.
    const size_t uLength = std::min(id.size(), uCapacity - 1);
    std::copy_n(id.begin(), uLength, pszHardwareID);
    pszHardwareID[uLength] = 0;

    uint32_t uUINumber = 0;
    if (!plat::SetupDiGetDeviceRegistryProperty(hDevInfo, &data, plat::SPDRP_UI_NUMBER, nullptr,
                                                reinterpret_cast<uint8_t*>(&uUINumber), sizeof uUINumber, nullptr))
        return PropertyReadFailed(plat::GetLastError(), ltError);
    *puUINumber = uUINumber;
    g_Log.Write(ltError, "\nUINumber: %d\n", static_cast<int>(uUINumber));
    return true;
}
