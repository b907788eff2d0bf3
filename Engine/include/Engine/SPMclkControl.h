#pragma once
// The side-port memory clock of the north bridge with integrated graphics: a PLL of
// the north bridge, set from a fixed table by programming the spare one of two PLL
// register sets and switching over with a handshake. Clocks are in 10 kHz units.
#include <cstdint>
#include <vector>

struct PLL_SETTING {
    uint32_t Clock;     // 10 kHz units
    uint32_t M;         // reference divider
    uint32_t X;         // multiplier
    uint32_t N;         // feedback divider
    uint32_t P;         // post divider
    uint32_t A, B, C;   // PLL settings written to their register fields
};

class CTQ460SPMclkControl {
public:
    CTQ460SPMclkControl();
    virtual ~CTQ460SPMclkControl() = default;

    // 0 on success, 1 when the handshake timed out or the north bridge cannot be
    // reached; a clock of 0 only reads the current clock. Callers use it only on
    // the north bridge whose graphics has the side-port memory.
    virtual uint32_t SetClock(uint32_t clock, uint32_t* actualClock, uint32_t flags);
    // 0 on success (the clock written), 1 when the registers cannot be read.
    virtual uint32_t GetClock(uint32_t* clock, uint32_t flags);

    // The row a clock selects: the highest whose clock is not above it, else the first.
    const PLL_SETTING& SelectRow(uint32_t clock) const;
    // The clock a row yields (truncating, as the PLL does).
    uint32_t Yield(const PLL_SETTING& row) const;
    const std::vector<PLL_SETTING>& Table() const { return m_PllTable; }

private:
    bool _ReadIndexed(uint32_t index, uint32_t* value);
    bool _WriteIndexed(uint32_t index, uint32_t value);

    uint32_t m_uRefClock;
    std::vector<PLL_SETTING> m_PllTable;
};

bool g_GetSPMemoryClock(uint32_t* clock, uint32_t flags);
bool g_SetSPMemoryClock(uint32_t clock, uint32_t flags);
