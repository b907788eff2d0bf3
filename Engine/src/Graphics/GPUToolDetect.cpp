// Finding the graphics chip: the PCI scan, its base addresses, and the copy of its
// video BIOS with the reference clock.
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "Engine/DriverHandler.h"
#include "Engine/GPUTool.h"
#include "Engine/KestBIOS.h"
#include "Engine/LogCheck.h"
#include "GPUState.h"

namespace {

const uint16_t kVendor = 0x1002;
const uint8_t kDisplayClass = 0x03;
const uint32_t kHeaderBytes = 40;
const uint64_t kVideoBiosAddress = 0xC0000;

uint16_t U16(const uint8_t* p, size_t at) { return static_cast<uint16_t>(p[at] | p[at + 1] << 8); }
uint32_t U32(const uint8_t* p, size_t at) { return U16(p, at) | uint32_t(U16(p, at + 2)) << 16; }

// The image must be this chip's: ROM signature, and a PCI data structure naming
// the chip. Another display's image would run its tables on our registers.
bool IsImageOfChip(const DEVICE& device, uint16_t vendor)
{
    const uint8_t* image = device.VideoBios;
    const size_t size = sizeof device.VideoBios;
    LOG_PROCESS_ERROR(image[0] == 0x55 && image[1] == 0xAA);
    const uint16_t pcir = U16(image, 0x18);
    LOG_PROCESS_ERROR(size_t(pcir) + 8 <= size && std::memcmp(image + pcir, "PCIR", 4) == 0);
    LOG_PROCESS_ERROR(U16(image, pcir + 4) == vendor && U16(image, pcir + 6) == device.usDeviceID);
    return true;
}

} // namespace

void CGPUTool::EnumerateDevices()
{
    for (uint32_t bus = 0; bus < 32 && !m_pDeviceData; ++bus) {
        for (uint32_t device = 0; device < 32 && !m_pDeviceData; ++device) {
            uint8_t header[kHeaderBytes] = {};
            if (!g_DriverHandler.GetPCIConfig(bus, device, 0, 0, reinterpret_cast<char*>(header), kHeaderBytes))
                continue;
            if (U16(header, 0) == kVendor)
                DetectDevice(bus, device);
        }
    }
}

bool CGPUTool::DetectDevice(uint32_t uBus, uint32_t uDevice)
{
    uint8_t header[kHeaderBytes] = {};
    const bool bRetCode = g_DriverHandler.GetPCIConfig(uBus, uDevice, 0, 0, reinterpret_cast<char*>(header), kHeaderBytes);
    LOG_PROCESS_ERROR(bRetCode);
    if (header[0x0B] != kDisplayClass || U16(header, 0) != kVendor)
        return true;

    BASEADDRTYPE registers, frameBuffer;
    const uint32_t registerBar = U32(header, 0x18);
    if (registerBar & 4) {
        registers.BaseAddress32.BaseAddress = registerBar & 0xFFFF0000;
        registers.BaseAddress32.BaseAddressHigh = U32(header, 0x1C);
    } else {
        // The flag bits are not part of the address (a prefetchable BAR has bit 3 set).
        registers.BaseAddress32.BaseAddress = registerBar & ~0xFu;
    }
    const uint32_t frameBufferBar = U32(header, 0x10);
    if (frameBufferBar & 4) {
        frameBuffer.BaseAddress32.BaseAddress = frameBufferBar & 0xFFFF0000;
        frameBuffer.BaseAddress32.BaseAddressHigh = U32(header, 0x14);
    } else {
        frameBuffer.BaseAddress32.BaseAddress = frameBufferBar & ~0xFu;
    }
    GpuSetBases(registers, frameBuffer);
    return _CreateDeviceData(U16(header, 2), uBus, uDevice, header);
}

bool CGPUTool::_CreateDeviceData(uint16_t usDeviceID, uint32_t uBus, uint32_t uDevice, const uint8_t* pConfig)
{
    std::unique_ptr<DEVICE> device(new (std::nothrow) DEVICE());
    LOG_PROCESS_ERROR(device);
    device->usDeviceID = usDeviceID;
    device->ucRevisionID = pConfig[0x08];
    uint16_t subsystem = 0;
    LOG_CHECK_ERROR(g_DriverHandler.GetPCIConfig(uBus, uDevice, 0, 0x2E, reinterpret_cast<char*>(&subsystem), 2));
    std::snprintf(device->szDescription, sizeof device->szDescription,
                  "VendorID: 0x%4X DeviceID: 0x%4X SubsystemID: 0x%04X (BN:%d, DN:%d)", U16(pConfig, 0), usDeviceID,
                  subsystem, static_cast<int>(uBus), static_cast<int>(uDevice));
    const bool bRead = g_DriverHandler.ReadMemory(kVideoBiosAddress, sizeof device->VideoBios,
                                                  reinterpret_cast<char*>(device->VideoBios));
    LOG_CHECK_ERROR(bRead);
    device->bVideoBiosValid = bRead && IsImageOfChip(*device, U16(pConfig, 0));
    m_pDeviceData = device.release();
    _ReadReferenceClock();
    return true;
}

// ROM header (u16 at 0x48) -> data-table list (+0x20) -> entry 4, the firmware
// information table -> its u16 at +0x52. Every step is bounded by the image.
void CGPUTool::_ReadReferenceClock()
{
    m_uReferenceClock = 0;
    if (!m_pDeviceData || !m_pDeviceData->bVideoBiosValid)
        return;
    const uint8_t* image = m_pDeviceData->VideoBios;
    const size_t size = sizeof m_pDeviceData->VideoBios;
    auto u16 = [&](size_t at, size_t* value) {
        if (at + 2 > size)
            return false;
        *value = U16(image, at);
        return true;
    };
    size_t header = 0, list = 0, info = 0, clock = 0;
    if (u16(kest::kRomHeaderPointer, &header) && u16(header + kest::kDataListInHeader, &list)
        && u16(list + 0x0C, &info) && info != 0 && u16(info + 0x52, &clock))
        m_uReferenceClock = static_cast<uint32_t>(clock);
    LOG_CHECK_ERROR(m_uReferenceClock != 0);
}

bool CGPUTool::_IsTQ460GFX() const
{
    return m_pDeviceData && m_pDeviceData->usDeviceID >= 0x9610 && m_pDeviceData->usDeviceID <= 0x9617;
}
