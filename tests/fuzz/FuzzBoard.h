#pragma once
// Puts fuzz input straight into the simulated machine's physical memory: the board
// is loaded once, and each input only rewrites the bytes the readers look at.
#include <QByteArray>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "Engine/DriverHandler.h"
#include "Engine/Log.h"
#include "VirtualBoard/KernelDriver.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/PhysicalMemory.h"

namespace fuzz {

// Scratch RAM for the tables, at the end of the board's allocation pool.
constexpr uint64_t kTableArea = 0x203F0000;   // the last 64 KB of the pool: past it nothing is backed
constexpr uint64_t kTableAreaSize = 0x10000;

inline void Start()
{
    g_Log.Init("Fuzz", 0, 0, 10000);      // nothing written: the log is not under test
    // The driver's service table lives in the runtime folder, which every process of
    // this user shares: a run of its own keeps other runs from stopping its driver.
    static QTemporaryDir stateDir;
    qputenv("VELOCREST_STATE_DIR", stateDir.path().toLocal8Bit());
    qunsetenv("VELOCREST_RUNTIME_DIR");
    // Without the driver every input would fail at once and prove nothing.
    if (!g_DriverHandler.Init()) {
        std::fprintf(stderr, "the driver did not start\n");
        std::abort();
    }
    // The driver client lets go of its semaphore when it is destroyed, after the state
    // folder is gone, and would make the folder anew: at exit it goes first (a fresh
    // client holds nothing), then the folder.
    std::atexit([] {
        g_DriverHandler.~CDriverHandler();
        new (&g_DriverHandler) CDriverHandler();
    });
}

// The BIOS area (ROM for the bus, so filled through its device).
inline void LoadBiosArea(uint64_t address, const QByteArray& bytes)
{
    vb::PhysicalMemory& memory = vb::Machine::Instance().Get<vb::PhysicalMemory>();
    const vb::PhysicalMemory::Region* r = memory.Find(address);
    if (auto* rom = r ? dynamic_cast<vb::BufferDevice*>(r->device.get()) : nullptr)
        rom->Load(address - r->base, reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size());
}

inline void ClearBiosArea() { LoadBiosArea(0xE0000, QByteArray(0x20000, '\0')); }

inline void LoadTableArea(uint64_t offset, const QByteArray& bytes)
{
    // The driver's request trace is for tests; here it would only grow the heap the
    // leak checker scans after every input.
    vb::Machine::Instance().Get<vb::KernelDriver>().ClearTrace();
    if (offset + bytes.size() > kTableAreaSize)
        return;
    vb::Machine::Instance().Get<vb::PhysicalMemory>().Write(
        kTableArea + offset, reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size());
}

inline void Put32(QByteArray& b, int at, uint32_t v) { std::memcpy(b.data() + at, &v, 4); }

inline void Seal(QByteArray& b, int at, int length)
{
    b[at] = 0;
    uint8_t sum = 0;
    for (int i = 0; i < length; ++i)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(b[i]));
    b[at] = static_cast<char>(0x100 - sum);
}

} // namespace fuzz
