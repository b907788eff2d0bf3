#pragma once
// How far the simulated board can be pushed. Each core has a highest stable clock
// that rises with its voltage and falls with its temperature; above it, stress work
// goes wrong at a rate that grows with the excess, and far above it the board hangs.
// The north bridge and the memory have clock limits of their own. The parameters
// come from the board file's "stability" section; no device reports them, so no
// page can show them.
//
// Stress work (the device library's test centre and tuner) asks for a verdict before
// each batch, draws from it whether the batch gets a flipped bit, and lets its own
// checks find the flip.
#include <cstdint>
#include <mutex>
#include <random>

#include "VirtualBoard/Machine.h"

namespace vb {

class DeviceBoard;

// What one part of the board runs at.
struct OperatingPoint {
    double mhz = 0;            // core clock, or the north-bridge or memory clock
    double volts = 0;          // core voltage (cores only)
    double temperature = 0;    // deg C (cores only)
};

enum class Stability { Stable, Errors, Hang };

struct StabilityVerdict {
    Stability state = Stability::Stable;
    double limitMHz = 0;       // highest stable clock at this point
    double excess = 0;         // (clock - limit) / limit; 0 or less when stable
    double errorRate = 0;      // chance that one batch of stress work goes wrong, 0..1
};

// The board file's "stability" section. Limits that a board leaves out lie a little
// above its own start-up operating point, so every board is stable as it starts.
struct StabilityParameters {
    double startCoreMHz = 0;           // the core clock at start-up (not a file field)
    double coreMHz = 0;                // highest stable core clock at the reference point
    double referenceVolts = 0;
    double referenceTemperature = 0;   // deg C
    double mhzPerVolt = 2400;          // the limit rises with the core voltage...
    double mhzPerDegree = 6;           // ...and falls as the core warms up
    double errorsPerExcess = 10;       // error rate per unit of relative excess
    double hangExcess = 0.10;          // relative excess at which the board hangs
    double northBridgeMHz = 0;
    double memoryMHz = 0;
    uint64_t seed = 1;                 // first state of the stress work's random draws
    bool deterministic = false;        // every batch goes wrong while a point is unstable
};

class StabilityModel final : public Component {
public:
    explicit StabilityModel(Machine& machine);

    StabilityParameters Parameters() const;
    // Every batch goes wrong while unstable (tests and demonstrations).
    void SetDeterministic(bool on);

    // The rules, for any operating point.
    double CoreLimitMHz(double volts, double temperature) const;
    StabilityVerdict JudgeCore(const OperatingPoint& point) const;
    StabilityVerdict JudgeClock(double mhz, double limitMHz) const;

    // The board as it stands now (each call locks the device board briefly).
    OperatingPoint CorePoint(int core);
    StabilityVerdict CoreVerdict(int core);     // one core; a missing core is stable
    StabilityVerdict UncoreVerdict();           // north bridge and memory
    StabilityVerdict BoardVerdict();            // the worst of every core and the uncore
    int CoreCount();

    // Whether one batch of stress work goes wrong under this verdict.
    bool DrawError(const StabilityVerdict& verdict, std::mt19937_64& random) const;
    // The worse of two verdicts: a hang over errors over stable, then the higher rate.
    static StabilityVerdict Worse(const StabilityVerdict& a, const StabilityVerdict& b);

    // A hang that stress work ran into stays until the board is recovered (by a
    // watchdog putting safe clocks back, or by the start of the next run or
    // search, which a real machine would see only after its reset), as a real
    // machine stays frozen.
    void NoteHang();
    bool IsHung() const;
    void Recover();
    int HangCount() const;

    // Machine-check banks: what stress work leaves behind when a part of the board
    // goes wrong (bank 0 for the cores, 4 for the north bridge and memory).
    static constexpr int kMcaBanks = 6;
    static constexpr int kCoreBank = 0;
    static constexpr int kNorthBridgeBank = 4;
    bool PostMachineCheck(int bank);
    // The first bank that holds an error, cleared as it is taken; -1 when none.
    int TakeMachineCheck();

private:
    DeviceBoard& m_board;
    mutable std::mutex m_mutex;
    StabilityParameters m_params;
    bool m_hung = false;
    int m_hangs = 0;
    uint64_t m_mca[kMcaBanks] = {};
};

} // namespace vb
