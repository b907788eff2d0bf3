// The side-port memory clock: indexed north-bridge registers through the host
// bridge, the PLL row for a clock, and the switch-over handshake.
#include "Engine/SPMclkControl.h"

#include <mutex>

#include "Engine/DriverHandler.h"
#include "Engine/LogCheck.h"
#include "Platform/Time.h"

namespace {

const uint32_t kIndexRegister = 0xE8;
const uint32_t kDataRegister = 0xEC;
const uint32_t kWriteEnable = 0x200;
const int kHandshakePolls = 1000;

// The index register is one for the whole process (the program's threads share it).
std::mutex g_IndexLock;

uint32_t Field(uint32_t value, uint32_t shift) { return value << shift; }

} // namespace

const PLL_SETTING& CTQ460SPMclkControl::SelectRow(uint32_t clock) const
{
    const PLL_SETTING* row = &m_PllTable.front();
    for (const PLL_SETTING& r : m_PllTable)
        if (r.Clock <= clock)
            row = &r;
    return *row;
}

uint32_t CTQ460SPMclkControl::Yield(const PLL_SETTING& row) const
{
    return row.X * row.N * m_uRefClock * 2 / (2 * row.P) / row.M;
}

bool CTQ460SPMclkControl::_ReadIndexed(uint32_t index, uint32_t* value)
{
    std::lock_guard<std::mutex> lock(g_IndexLock);
    uint32_t saved = 0, selected = index & 0x1FF;
    *value = 0;
    LOG_PROCESS_ERROR(g_DriverHandler.GetPCIConfig(0, 0, 0, kIndexRegister, reinterpret_cast<char*>(&saved), 4));
    bool ok = g_DriverHandler.SetPCIConfig(0, 0, 0, kIndexRegister, reinterpret_cast<char*>(&selected), 4)
              && g_DriverHandler.GetPCIConfig(0, 0, 0, kDataRegister, reinterpret_cast<char*>(value), 4);
    ok = g_DriverHandler.SetPCIConfig(0, 0, 0, kIndexRegister, reinterpret_cast<char*>(&saved), 4) && ok;
    LOG_PROCESS_ERROR(ok);
    return true;
}

bool CTQ460SPMclkControl::_WriteIndexed(uint32_t index, uint32_t value)
{
    std::lock_guard<std::mutex> lock(g_IndexLock);
    uint32_t saved = 0, selected = (index & 0x1FF) | kWriteEnable;
    LOG_PROCESS_ERROR(g_DriverHandler.GetPCIConfig(0, 0, 0, kIndexRegister, reinterpret_cast<char*>(&saved), 4));
    bool ok = g_DriverHandler.SetPCIConfig(0, 0, 0, kIndexRegister, reinterpret_cast<char*>(&selected), 4)
              && g_DriverHandler.SetPCIConfig(0, 0, 0, kDataRegister, reinterpret_cast<char*>(&value), 4);
    ok = g_DriverHandler.SetPCIConfig(0, 0, 0, kIndexRegister, reinterpret_cast<char*>(&saved), 4) && ok;
    LOG_PROCESS_ERROR(ok);
    return true;
}

uint32_t CTQ460SPMclkControl::GetClock(uint32_t* clock, uint32_t /*flags*/)
{
    LOG_PROCESS_ERROR_RET(clock, 1);
    uint32_t r7 = 0, r9 = 0, r11 = 0;
    LOG_PROCESS_ERROR_RET(_ReadIndexed(7, &r7) && _ReadIndexed(9, &r9) && _ReadIndexed(11, &r11), 1);
    const uint32_t r = (r9 & 2) ? r11 : r7;
    *clock = (((r >> 3) & 0x3F) + 1) * ((r & 7) + 1) * m_uRefClock * 2 / (((r >> 14) & 3) * 2 + 2) / (((r >> 9) & 0x1F) + 1);
    return 0;
}

uint32_t CTQ460SPMclkControl::SetClock(uint32_t clock, uint32_t* actualClock, uint32_t flags)
{
    LOG_PROCESS_ERROR_RET(actualClock, 1);
    if (clock == 0)
        return GetClock(actualClock, flags);
    uint32_t d = 0, status = 0, reg = 0;
    LOG_PROCESS_ERROR_RET(_ReadIndexed(9, &d) && _ReadIndexed(0, &status), 1);
    const PLL_SETTING& row = SelectRow(clock);
    const uint32_t low = Field(row.X - 1, 0) | Field(row.N - 1, 3) | Field(row.M - 1, 9) | Field(row.P - 1, 14);
    const uint32_t lowMask = 0x7 | 0x3F << 3 | 0x1F << 9 | 0x3 << 14;
    const bool set1InUse = !(status & 8);
    // Switch to the other set, wait until the status bit says it is in use, then
    // program the set that is now spare; every branch puts register 9 back.
    bool ok = _WriteIndexed(9, d | 1);
    plat::Sleep(1);
    ok = _WriteIndexed(9, set1InUse ? d | 3 : (d & ~2u) | 1) && ok;
    plat::Sleep(1);
    bool switched = false;
    for (int i = 0; ok && i < kHandshakePolls; ++i) {
        ok = _ReadIndexed(0, &status);
        if (ok && ((status & 8) != 0) == set1InUse) {
            switched = true;
            break;
        }
        plat::Sleep(set1InUse ? 10 : 1);
    }
    if (switched && set1InUse) {
        const uint32_t mask = lowMask | 0xF << 16 | 0x3 << 20 | 0xFu << 28;
        ok = _ReadIndexed(7, &reg)
             && _WriteIndexed(7, (reg & ~mask) | low | Field(row.A, 16) | Field(row.C, 20) | Field(row.B, 28));
    } else if (switched) {
        const uint32_t mask = 0xF << 8 | 0x3 << 12 | 0xF << 14;
        const uint32_t fields = Field(row.A, 8) | Field(row.C, 12) | Field(row.B, 14);
        ok = _ReadIndexed(9, &reg) && _WriteIndexed(9, (reg & ~mask) | fields)
             && _ReadIndexed(11, &reg) && _WriteIndexed(11, (reg & ~lowMask) | low);
        // Register 9 carries set 2's A, B and C: putting back the value read at the
        // start would pair the new dividers with the old settings.
        if (ok)
            d = (d & ~mask) | fields;
    }
    plat::Sleep(1);
    _WriteIndexed(9, set1InUse ? d | 1 : d & ~1u);
    plat::Sleep(1);
    _WriteIndexed(9, d);
    LOG_PROCESS_ERROR_RET(switched, 1);
    LOG_PROCESS_ERROR_RET(ok, 1);
    *actualClock = Yield(row);
    return 0;
}
