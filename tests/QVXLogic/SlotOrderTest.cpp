// The order of the virtual operations is the device interface: each operation
// sits in the slot its callers count on. The slot of a virtual member function is
// read from its pointer-to-member (x86-64 Itanium ABI: 1 + offset in the vtable).
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "QVXLogic/QVXLogic.h"

namespace {

template <class M>
long Slot(M member)
{
    static_assert(sizeof(member) == 2 * sizeof(void*));
    uintptr_t word[2];
    std::memcpy(word, &member, sizeof word);
    EXPECT_EQ(word[0] & 1, 1u) << "not virtual";
    return static_cast<long>((word[0] - 1) / sizeof(void*));
}

#define EXPECT_SLOT(member, slot) EXPECT_EQ(Slot(&member), slot) << #member

TEST(QvxSlots, CommonAndPciSlots)
{
    EXPECT_SLOT(IDevice::GetName, 2);
    EXPECT_SLOT(IDevice::GetDescription, 3);
    EXPECT_SLOT(IDevice::GetVendor, 4);
    EXPECT_SLOT(IDevice::GetTypeName, 5);
    EXPECT_SLOT(IDevice::GetClassName, 6);
    EXPECT_SLOT(IDevice::GetType, 7);
    EXPECT_SLOT(IDevice::GetIndex, 8);
    EXPECT_SLOT(IDevice::GetBuildVersion, 9);
    EXPECT_SLOT(IPciDevice::GetVendorID, 10);
    EXPECT_SLOT(IPciDevice::GetDeviceID, 11);
    EXPECT_SLOT(IPciDevice::GetRevision, 12);
    EXPECT_SLOT(IPciDevice::GetBusNumber, 13);
    EXPECT_SLOT(IPciDevice::GetDeviceNumber, 14);
    EXPECT_SLOT(IPciDevice::GetFunctionNumber, 15);
}

TEST(QvxSlots, ProcessorLinkAndBridges)
{
    EXPECT_SLOT(ICPUDevice::GetExtFamily, 10);
    EXPECT_SLOT(ICPUDevice::GetStepping, 14);
    EXPECT_SLOT(ICPUDevice::GetInfoString2, 17);
    EXPECT_SLOT(ICPUDevice::GetInstructionSet, 18);
    EXPECT_SLOT(ICPUDevice::GetMaxFrequency, 20);
    EXPECT_SLOT(ICPUDevice::GetCPUVid, 22);
    EXPECT_SLOT(ICPUDevice::GetMaxRampVoltage, 26);
    EXPECT_SLOT(ICPUDevice::GetCurrentMultiplier, 28);
    EXPECT_SLOT(ICPUDevice::GetNBMultiplier, 32);
    EXPECT_SLOT(ICPUDevice::GetNBVid, 34);
    EXPECT_SLOT(ICPUDevice::GetL1DataCacheInfo, 36);
    EXPECT_SLOT(ICPUDevice::GetL3CacheInfo, 39);
    EXPECT_SLOT(ICPUDevice::GetTemperature, 40);
    EXPECT_SLOT(ICPUDevice::SetBoostMode, 50);
    EXPECT_SLOT(IHTLinkDevice::GetLinkInfo, 16);
    EXPECT_SLOT(IHTLinkDevice::SetLinkInfo, 17);
    EXPECT_SLOT(INorthBridgeDevice::GetMaxHTMultiplier, 16);
    EXPECT_SLOT(ISouthBridgeDevice::GetFanSpeed, 23);
    EXPECT_SLOT(ISouthBridgeDevice::GetTemperature, 25);
    EXPECT_SLOT(ISouthBridgeDevice::SendKeepAlive, 29);
    EXPECT_SLOT(ISouthBridgeDevice::ApplyHTLinkChange, 30);
    EXPECT_SLOT(ISensorChipDevice::GetFanSpeed, 10);
    EXPECT_SLOT(ISensorChipDevice::GetVoltage, 14);
    EXPECT_SLOT(IClockGeneratorDevice::GetHTRefClock, 10);
    EXPECT_SLOT(IClockGeneratorDevice::SetHTRefClock, 25);
    EXPECT_SLOT(IClockGeneratorDevice::GetPCIeClockList, 30);
    EXPECT_SLOT(IPWMControllerDevice::GetRailTable, 23);
    EXPECT_SLOT(IPWMController2Device::SetChannelVoltage, 17);
}

TEST(QvxSlots, MemoryControllerAndModules)
{
    EXPECT_SLOT(IMemoryControllerDevice::GetMemoryType, 16);
    EXPECT_SLOT(IMemoryControllerDevice::GetMemoryFrequency, 17);
    EXPECT_SLOT(IMemoryControllerDevice::GetTimings, 18);
    EXPECT_SLOT(IMemoryControllerDevice::SetTimings, 19);
    EXPECT_SLOT(IMemoryControllerDevice::GetConfig, 20);
    EXPECT_SLOT(IMemoryControllerDevice::SetConfig, 21);
    EXPECT_SLOT(IMemoryControllerDevice::GetTclList, 22);
    EXPECT_SLOT(IMemoryControllerDevice::GetTrfcList, 24);
    EXPECT_SLOT(IMemoryControllerDevice::GetTrefList, 32);
    EXPECT_SLOT(IMemoryControllerDevice::GetMaxAsyncLatList, 34);
    EXPECT_SLOT(IMemoryControllerDevice::GetMemClkList, 37);
    EXPECT_SLOT(IMemoryControllerDevice::GetTrdrdList, 42);
    EXPECT_SLOT(IMemoryControllerDevice::GetDcqBypassMaxList, 45);
    EXPECT_SLOT(IMemoryControllerDevice::GetCkeDrvStrengthList, 46);
    EXPECT_SLOT(IMemoryControllerDevice::GetProcOdtList, 52);
    EXPECT_SLOT(IMemoryControllerDevice::GetDqsRcvEnDelayList, 53);
    EXPECT_SLOT(IMemoryControllerDevice::IsChannelAPresent, 54);
    EXPECT_SLOT(IMemoryControllerDevice::IsChannelBPresent, 55);
    EXPECT_SLOT(IMemoryModuleDevice::GetCapacity, 10);
    EXPECT_SLOT(IMemoryModuleDevice::GetMemoryType, 11);
    EXPECT_SLOT(IMemoryModuleDevice::GetMaxBandwidth, 12);
    EXPECT_SLOT(IMemoryModuleDevice::GetPartNumber, 13);
    EXPECT_SLOT(IMemoryModuleDevice::GetSerialNumber, 14);
    EXPECT_SLOT(IMemoryModuleDevice::GetDataWidth, 15);
    EXPECT_SLOT(IMemoryModuleDevice::GetBusFrequency, 16);
    EXPECT_SLOT(IMemoryModuleDevice::GetSlotLocation, 17);
    EXPECT_SLOT(IMemoryModuleDevice::GetSPDInfo, 18);
}

TEST(QvxSlots, GraphicsChips)
{
    EXPECT_SLOT(IGPUDevice::GetEngineClock, 10);
    EXPECT_SLOT(IGPUDevice::GetMemoryClock, 15);
    EXPECT_SLOT(IGPUDevice::GetEngineClockInt, 20);
    EXPECT_SLOT(IGPUDevice::GetCoreVoltage, 21);
    EXPECT_SLOT(IGPUDevice::GetLevelCount, 30);
    EXPECT_SLOT(IGPUDevice::GetCurrentLevel, 31);
    EXPECT_SLOT(IGPUDevice::GetLevelInfo, 32);
    EXPECT_SLOT(IGPUDevice::GetMemoryCapacity, 35);
    EXPECT_SLOT(IGPUDevice::GetMemoryBitWidth, 36);
    EXPECT_SLOT(IGPUDevice::GetVideoBIOSInfo, 37);
    EXPECT_SLOT(IGPUDevice::GetSensorCount, 38);
    EXPECT_SLOT(IGPUDevice::GetFanSpeed, 40);
    EXPECT_SLOT(IGPUDevice::GetTemperature, 42);
    EXPECT_SLOT(IGPUDevice::GetUsage, 43);
    EXPECT_SLOT(IGPUDevice::GetBusSpeed, 44);
    EXPECT_SLOT(IGPUDevice::GetMaxBusLanes, 46);
    EXPECT_SLOT(IGPUDevice::GetPowerState, 47);
    EXPECT_SLOT(IGPUDevice::IsSleepOnTimestamp, 49);
    EXPECT_SLOT(IGPUDevice::GetDisplayMode, 50);
    EXPECT_SLOT(IGPUDevice::IsIntegrated, 51);
}

TEST(QvxSlots, InventoryDevices)
{
    EXPECT_SLOT(IHardDiskDevice::GetCapacity, 10);
    EXPECT_SLOT(IHardDiskDevice::GetSectorSize, 11);
    EXPECT_SLOT(IHardDiskDevice::GetInterfaceType, 12);
    EXPECT_SLOT(IHardDiskDevice::GetDiskInfo, 13);
    EXPECT_SLOT(IBIOSDevice::GetVersion, 10);
    EXPECT_SLOT(IBIOSDevice::GetDate, 11);
    EXPECT_SLOT(IMonitorDevice::GetScreenWidth, 10);
    EXPECT_SLOT(IMonitorDevice::GetScreenHeight, 11);
    EXPECT_SLOT(IMonitorDevice::GetMaxWidth, 12);
    EXPECT_SLOT(IMonitorDevice::GetMaxHeight, 13);
    EXPECT_SLOT(IMonitorDevice::GetRefreshRate, 14);
    EXPECT_SLOT(IMonitorDevice::GetPixelsPerXLogicalInch, 15);
    EXPECT_SLOT(IMonitorDevice::GetPixelsPerYLogicalInch, 16);
    EXPECT_SLOT(IAudioDevice::GetDriverFile, 10);
    EXPECT_SLOT(IAudioDevice::GetDriverDate, 11);
    EXPECT_SLOT(IStorageControllerDevice::GetChannelCount, 16);
    EXPECT_SLOT(IStorageControllerDevice::GetChannelDevices, 17);
    EXPECT_SLOT(IUSBControllerDevice::GetChannelCount, 16);
    EXPECT_SLOT(IUSBControllerDevice::GetChildDevice, 17);
}

} // namespace
