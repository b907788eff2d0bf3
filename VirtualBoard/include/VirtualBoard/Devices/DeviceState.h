#pragma once
// Plain state of the devices the device library serves, as loaded from the board
// file's "devices" section. DeviceBoard owns one of each and guards them with
// one mutex; the rules by which readings follow writes live there.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vb {

// Identity texts and PCI position shared by every device.
struct DeviceIdentity {
    bool present = false;
    std::string name, description, vendor, className;
    uint32_t vendorId = 0, deviceId = 0, revision = 0, bus = 0, device = 0, function = 0;
};

struct PstateDef {
    int fid = 0, did = 0, vid = 0, nbDid = 0, nbVid = 0, idd = 0, iddDiv = 0;
    bool enabled = true;
};

struct CacheDef {
    double size = 0, ways = 0, lines = 0, lineSize = 0;
};

struct CpuState {
    DeviceIdentity id;                   // name/vendor come from the processor section
    int cores = 0;                       // cores of all packages
    uint32_t signature = 0;
    std::vector<double> multiplier;      // per core
    std::vector<int> pstate;             // per core, current P-state
    double startMultiplier = 4, maxMultiplier = 16;
    bool halfMultipliers = true, perCoreControl = true;
    double vid = 1.3, nbVid = 1.15;      // V; nbVid <= 0: none
    double minVoltage = 0.8, maxVoltage = 1.55, startVoltage = 1.3, maxRampVoltage = 1.55;
    double nbMultiplier = 10;
    double maxFrequencyHz = 0;
    bool hasTemperature = true;
    double idleTemperature = 40, ambient = 25;   // deg C at the start operating point
    std::vector<double> temperaturePair; // pinned pair of readings; empty: they follow clock and voltage
    std::vector<double> usage;           // pinned % per core (repeating); empty: the host's load
    std::array<CacheDef, 4> caches{};    // L1D, L1I, L2, L3
    std::array<uint8_t, 32> instructionSet{};
    std::vector<PstateDef> pstates;
    bool boost = false, boostSecond = true;
    double nominalClockVolt2 = 1;        // f x V^2 at start (temperature reference)
};

struct HtLinkDef {
    double width = 16, maxWidth = 16;    // width -1: present, not in use
    double multiplier = 10, maxMultiplier = 10;
    uint32_t revMajor = 3, revMinor = 0;
    bool ldtStop = false, crcFlood = false, isochronous = false;
};

struct HtLinkState {
    DeviceIdentity id;
    std::vector<HtLinkDef> links;
    double pendingMultiplier = 0;        // taken by the north bridge, committed by the south bridge
    int commits = 0;
};

struct NorthBridgeState {
    DeviceIdentity id;
    double maxHTMultiplier = 10;
};

// One keep-alive call as the south bridge saw it.
struct KeepAlivePulse {
    uint64_t ns = 0;         // board clock
    bool alive = false;      // the call's argument
    bool counted = false;    // taken as a sign of life (mode on, board not hung)
};

struct SouthBridgeState {
    DeviceIdentity id;
    std::vector<double> fans, temperatures, voltages;
    bool acceptsKeepAlive = true;
    bool keepAliveMode = false;
    uint64_t keepAliveTimeoutNs = 2'000'000'000;   // board field "keepAliveTimeoutMs"
    uint64_t lastPulseNs = 0;                      // last sign of life, or when the mode came on
    int pulses = 0;                                // signs of life
    int recoveries = 0;                            // times the watchdog brought the board back
    std::vector<KeepAlivePulse> recentPulses;      // the latest calls, oldest first
};

struct ClockDef {
    double value = 0, def = 0, min = 0, max = 0, step = 1;
    std::vector<double> list;
};

struct ClockGenState {
    DeviceIdentity id;
    bool ranges = true;
    ClockDef htRef, pcie, sb;
};

struct RailDef {
    std::string name;
    double value = 0, min = 0, max = 0, def = 0, step = 1;
    bool present = true;
};

struct PwmState {
    DeviceIdentity id;
    bool available = true;
    std::array<RailDef, 6> rails{};      // MemVDDQ, MemVTT, CPUVDDC, NBCore, NBPCIE, CPUHT
};

struct Pwm2State {
    DeviceIdentity id;
    std::vector<RailDef> channels;
};

struct FanDef {
    bool present = true;
    int mode = 3;                        // < 2 not controllable, 2 manual, 3 automatic
    int percent = 50;
    int maxRpm = 3000;
};

struct SensorChipState {
    DeviceIdentity id;
    std::vector<FanDef> fans;
    std::vector<double> temperatures;    // below -9000: absent; sensor 0 follows the processor
    std::vector<double> voltages;        // 0.0: absent
};

struct GpuLevelDef {
    double engine = 0, memory = 0, voltage = 0;
};

struct GpuState {
    DeviceIdentity id;
    bool integrated = true;
    ClockDef engine, memory, voltage, sidePort;
    std::vector<GpuLevelDef> levels;
    unsigned currentLevel = 0;
    double fanPercent = 0, temperature = 0, usage = -1;
    unsigned sensors = 0;
    double busSpeed = 0, busLanes = 0, maxBusLanes = 0;
    int powerState = 0;
    bool loadBalancing = false, sleepOnTimestamp = false;
    std::string displayMode;
    double memoryBytes = 0, memoryBits = 0;
    bool hasVideoBios = false;
    std::string biosVersion, biosPartNumber, biosDate, biosMemoryType;
};

struct MemoryControllerState {
    DeviceIdentity id;
    int type = 8;
    bool channelA = true, channelB = true;
    double memClk = 400;                 // at the default reference clock
    // Timing and configuration fields by name ("Tcl", "En2T", "CkeDrvStrength1"...);
    // value lists by field name. The device library maps them onto its records.
    std::map<std::string, double> fields;
    std::map<std::string, std::vector<double>> lists;
};

} // namespace vb
