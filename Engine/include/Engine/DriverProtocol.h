#pragma once
// The request records of the kernel driver QVXDriver: fixed little-endian layouts
// (never a native structure holding pointers), the same on every build.
#include <cstddef>
#include <cstdint>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the driver records are little-endian");

// Request n is sent with the control code 0x81112EE0 + 4 n (device type 0x8111,
// function 3000 + n, buffered, any access).
constexpr uint32_t QVXDriverCode(uint32_t n) { return 0x81112EE0u + 4u * n; }

enum QVX_DRIVER_REQUEST : uint32_t {
    drReadMSR = 0,
    drWriteMSR = 1,
    drReadPort = 2,
    drWritePort = 3,
    drMapMemory = 4,
    drUnmapMemory = 5,
    drReadPCIConfig2 = 6,       // the second way, used when the driver refuses 8
    drWritePCIConfig2 = 7,      // the second way, used when the driver refuses 9
    drReadPCIConfig = 8,
    drWritePCIConfig = 9,
    drReadMemory = 10,
    drWriteMemory = 11,
    drAllocateMemory = 12,
    drFreeMemory = 13,
    drListPCIHeaders = 14,
};

#pragma pack(push, 1)

struct MSRParam {
    uint32_t uMSR;
    uint32_t uLow;              // EAX
    uint32_t uHigh;             // EDX
};

struct PortParam {
    uint16_t usPort;
    uint16_t usWidth;           // 1, 2 or 4
    uint32_t uData;             // output: the value zero-extended; input: sent as 0
};

struct MapMemoryParam {
    uint64_t ullPhysicalAddress;
    uint32_t uReserved;
    uint32_t uSize;
    uint64_t ullUserAddress;    // out
    uint64_t ullHandle;         // out
};

struct MemoryParam {            // followed by uLength data bytes
    uint64_t ullPhysicalAddress;
    uint32_t uLength;
};

struct PCIConfigParam {         // followed by uLength data bytes
    uint32_t uBus;
    uint32_t uDevice;
    uint32_t uFunction;
    uint32_t uOffset;
    uint32_t uLength;
};

struct AllocateMemoryParam {
    uint64_t ullFirst;
    uint64_t ullSecond;
    uint32_t uReserved;
    uint32_t uThird;
    uint8_t Reserved2[8];
    uint64_t ullUserAddress;    // out
    uint64_t ullHandle;         // out
};

struct PCIDeviceHeader {
    uint32_t uBus;
    uint32_t uDevice;
    uint32_t uFunction;
    uint8_t Header[40];         // the first 40 bytes of configuration space
};

enum { PCI_HEADER_LIST_CAPACITY = 64 };

struct PCIHeaderListParam {
    uint64_t ullPCIBaseAddress;
    uint32_t uNextBus;          // the driver's scan position, passed back unchanged
    uint32_t uNextDevice;
    uint32_t uNextFunction;
    uint32_t uCapacity;
    uint32_t uCount;
    PCIDeviceHeader Entries[PCI_HEADER_LIST_CAPACITY];
};

#pragma pack(pop)

static_assert(sizeof(MSRParam) == 12 && offsetof(MSRParam, uLow) == 4 && offsetof(MSRParam, uHigh) == 8);
static_assert(sizeof(PortParam) == 8 && offsetof(PortParam, usWidth) == 2 && offsetof(PortParam, uData) == 4);
static_assert(sizeof(MapMemoryParam) == 32 && offsetof(MapMemoryParam, uSize) == 12
              && offsetof(MapMemoryParam, ullUserAddress) == 16 && offsetof(MapMemoryParam, ullHandle) == 24);
static_assert(sizeof(MemoryParam) == 12 && offsetof(MemoryParam, uLength) == 8);
static_assert(sizeof(PCIConfigParam) == 20 && offsetof(PCIConfigParam, uOffset) == 12
              && offsetof(PCIConfigParam, uLength) == 16);
static_assert(sizeof(AllocateMemoryParam) == 48 && offsetof(AllocateMemoryParam, uThird) == 20
              && offsetof(AllocateMemoryParam, ullUserAddress) == 32 && offsetof(AllocateMemoryParam, ullHandle) == 40);
static_assert(sizeof(PCIDeviceHeader) == 52 && offsetof(PCIDeviceHeader, Header) == 12);
static_assert(sizeof(PCIHeaderListParam) == 3356 && offsetof(PCIHeaderListParam, uCapacity) == 20
              && offsetof(PCIHeaderListParam, uCount) == 24 && offsetof(PCIHeaderListParam, Entries) == 28);
