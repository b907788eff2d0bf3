#include "Platform/SetupApi.h"
#include "Platform/LastError.h"

#include "VirtualBoard/DiskClass.h"
#include "VirtualBoard/Machine.h"

#include <QString>

#include <atomic>
#include <cstring>
#include <vector>

namespace plat {

struct DeviceInfoList {
    std::vector<vb::DiskClassDevice> devices;
};

namespace {

std::atomic<int> g_openLists{0};

bool Fail(uint32_t code)
{
    SetLastError(code);
    return false;
}

// UTF-16 strings, each terminated, and an empty one at the end.
std::vector<uint8_t> MultiString(const QStringList& strings)
{
    std::vector<uint8_t> bytes;
    auto append = [&bytes](char16_t c) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    };
    for (const QString& s : strings) {
        for (const QChar c : s)
            append(c.unicode());
        append(0);
    }
    append(0);
    return bytes;
}

} // namespace

HDEVINFO SetupDiGetClassDevs(const Guid* classGuid, uint32_t flags)
{
    if (!classGuid) {
        SetLastError(kErrorInvalidParameter);
        return INVALID_HANDLE_VALUE;
    }
    vb::Machine& machine = vb::Machine::Instance();
    if (machine.GetFaults().IsSet("setupapi-classdevs-fails")) {
        SetLastError(kErrorAccessDenied);
        return INVALID_HANDLE_VALUE;
    }
    auto* list = new DeviceInfoList;
    // Every simulated disk is present, so the flag changes nothing.
    if (*classGuid == GUID_DEVCLASS_DISKDRIVE)
        list->devices = machine.Get<vb::DiskClass>().Devices();
    ++g_openLists;
    return list;
}

bool SetupDiEnumDeviceInfo(HDEVINFO list, uint32_t index, SP_DEVINFO_DATA* data)
{
    if (!list)
        return Fail(kErrorInvalidHandle);
    if (!data || data->cbSize != sizeof(SP_DEVINFO_DATA))
        return Fail(kErrorInvalidUserBuffer);
    if (index >= list->devices.size())
        return Fail(kErrorNoMoreItems);
    if (const uint32_t error = list->devices[index].enumError)
        return Fail(error);
    data->ClassGuid = GUID_DEVCLASS_DISKDRIVE;
    data->DevInst = index + 1;
    data->Reserved = index;
    return true;
}

bool SetupDiGetDeviceRegistryProperty(HDEVINFO list, const SP_DEVINFO_DATA* data, uint32_t property, uint32_t* regType,
                                      uint8_t* buffer, uint32_t bufferSize, uint32_t* requiredSize)
{
    if (!list)
        return Fail(kErrorInvalidHandle);
    if (!data || data->cbSize != sizeof(SP_DEVINFO_DATA) || data->Reserved >= list->devices.size())
        return Fail(kErrorInvalidParameter);
    const vb::DiskClassDevice& device = list->devices[data->Reserved];

    std::vector<uint8_t> value;
    uint32_t type = 0;
    if (property == SPDRP_HARDWAREID) {
        if (device.hardwareIdError)
            return Fail(device.hardwareIdError);
        if (!device.hasHardwareIds)
            return Fail(kErrorInvalidData);
        value = MultiString(device.hardwareIds);
        type = REG_MULTI_SZ;
    } else if (property == SPDRP_UI_NUMBER) {
        if (device.uiNumberError)
            return Fail(device.uiNumberError);
        if (!device.hasUiNumber)
            return Fail(kErrorInvalidData);
        value.resize(sizeof(uint32_t));
        std::memcpy(value.data(), &device.uiNumber, sizeof(uint32_t));
        type = REG_DWORD;
    } else {
        return Fail(kErrorInvalidData);
    }

    const auto size = static_cast<uint32_t>(value.size());
    if (requiredSize)
        *requiredSize = size;
    if (regType)
        *regType = type;
    if (!buffer || bufferSize < size)
        return Fail(kErrorInsufficientBuffer);
    std::memcpy(buffer, value.data(), size);
    return true;
}

bool SetupDiDestroyDeviceInfoList(HDEVINFO list)
{
    if (!list)
        return Fail(kErrorInvalidHandle);
    delete list;
    --g_openLists;
    return true;
}

int OpenDeviceInfoLists() { return g_openLists.load(); }

} // namespace plat
