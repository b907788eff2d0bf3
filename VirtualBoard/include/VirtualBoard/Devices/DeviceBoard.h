#pragma once
// The devices of the simulated board as the device library sees them: processor
// cores, HyperTransport link, bridges, clock generator, regulators, sensor chip,
// graphics chips, the memory controller and the inventory (modules, firmware,
// monitors, audio, drives, storage and USB controllers). One mutex guards all of them, since
// readings of one depend on writes to another (core clock = reference x
// multiplier). Callers lock with Lock() and then read or change the state; the
// derived readings are computed here so every caller agrees.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "VirtualBoard/Devices/DeviceState.h"
#include "VirtualBoard/Devices/InventoryState.h"
#include "VirtualBoard/Devices/HostLoad.h"
#include "VirtualBoard/Machine.h"

namespace vb {

class Processor;

class DeviceBoard final : public Component {
public:
    explicit DeviceBoard(Machine& machine);

    std::unique_lock<std::mutex> Lock()
    {
        m_uAccesses.fetch_add(1, std::memory_order_relaxed);
        return std::unique_lock<std::mutex>(m_mutex);
    }
    // How many times a device has reached the board: a test reads it before and
    // after a timer tick to see that a hidden page or dialog touched no device.
    uint64_t Accesses() const { return m_uAccesses.load(std::memory_order_relaxed); }

    // Start-up switches of the board ("initFails", "perfControlFails").
    bool InitFails() const { return m_initFails; }
    bool PerfControlFails() const { return m_perfControlFails; }

    CpuState cpu;
    HtLinkState ht;
    NorthBridgeState nb;
    SouthBridgeState sb;
    ClockGenState clock;
    PwmState pwm;
    Pwm2State pwm2;
    SensorChipState sensors;
    std::vector<GpuState> gpus;
    MemoryControllerState mc;
    InventoryState inventory;

    // Derived readings; call with the lock held.
    double CoreClockMHz(int core) const;
    double NBClockMHz() const;
    double MemClkMHz() const;                      // configured memory clock at the current reference
    double MemoryFrequency(double nbMHz, double nbMultiplier) const;
    double CpuTemperature(int core) const;         // follows clock and voltage
    double CpuUsage(int core);                     // % pinned by the board, else the host's
    int SensorTemperature(int sensor) const;       // -9999 when absent
    int FanRpm(int fan) const;                     // -9999 when absent
    static double PstateFrequency(const PstateDef& p);
    static double PstateVoltage(int vid);
    double PstateNbFrequency(const PstateDef& p) const;

    // Writes that move other readings; call with the lock held.
    void SetReference(double mhz);                 // every derived clock follows
    void SetMultiplier(int core, double multiplier);
    void SetCoreVid(double volts);

private:
    void SyncProcessorClock();
    void SyncStatusRegister();

    std::mutex m_mutex;
    std::atomic<uint64_t> m_uAccesses{0};
    Processor* m_processor = nullptr;
    HostLoad m_hostLoad;
    bool m_initFails = false, m_perfControlFails = false;
};

} // namespace vb
