// The binary command channel of VYK_ACPI ("RunCMD"): a 256-byte command record in,
// a 512-byte result record out, little-endian, status word first.
#include "VirtualBoard/Journal.h"
#include "VirtualBoard/VykAcpi.h"

#include <cstring>

namespace vb {

namespace {

uint32_t U32(const QByteArray& b, int at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= uint32_t(uint8_t(b.at(at + i))) << (8 * i);
    return v;
}

uint16_t U16(const QByteArray& b, int at) { return uint16_t(uint8_t(b.at(at)) | uint8_t(b.at(at + 1)) << 8); }

void PutU32(QByteArray& b, int at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}

// strncpy into a fixed field: cut to the field, zero-padded, not terminated when full.
void PutText(QByteArray& b, int at, int width, const std::string& text)
{
    for (int i = 0; i < width; ++i)
        b[at + i] = size_t(i) < text.size() ? text[size_t(i)] : '\0';
}

// The one command that changes the firmware: a CMOS item's value.
constexpr uint32_t kCmosWrite = 0x30004;

} // namespace

bool VykAcpi::_IsReadCommand(const QByteArray& inbuf)
{
    return inbuf.size() == 256 && U32(inbuf, 0) != kCmosWrite;
}

bool VykAcpi::_CommandFails(uint32_t id, uint32_t item) const
{
    char all[32], one[48];
    std::snprintf(all, sizeof all, "bios-command-fail:0x%X", id);
    std::snprintf(one, sizeof one, "bios-command-fail:0x%X:%u", id, item);
    return m_machine.GetFaults().IsSet(all) || m_machine.GetFaults().IsSet(one);
}

QByteArray VykAcpi::_RunCommand(const QByteArray& in)
{
    QByteArray out(512, '\0');
    const uint32_t id = U32(in, 0);
    const uint32_t item = U16(in, 4);
    uint32_t status = kBiosSuccess;
    if (_CommandFails(id, item)) {
        status = kBiosFailed;
    } else {
        switch (id) {
        case 0x30001:                           // CMOS item count
            out[4] = char(m_cmos.Count() & 0xFF);
            out[5] = char((m_cmos.Count() >> 8) & 0xFF);
            break;
        case 0x30002: {                         // CMOS item description
            const CmosItem* it = m_cmos.Item(item);
            if (!it) {
                status = kBiosBadItem;
                break;
            }
            PutText(out, 4, 32, it->name);
            out[36] = char(std::min<size_t>(it->rules.size(), 255));
            for (size_t r = 0; r < it->rules.size() && r < 14; ++r)
                for (int k = 0; k < 5; ++k)
                    out[int(37 + r * 5) + k] = char(it->rules[r][size_t(k)]);
            out[111] = char(std::min<size_t>(it->options.size(), 255));
            for (size_t o = 0; o < it->options.size() && o < 20; ++o)
                PutText(out, int(112 + o * 20), 20, it->options[o]);
            break;
        }
        case 0x30003: {                         // CMOS item value
            const CmosItem* it = m_cmos.Item(item);
            if (!it)
                status = kBiosBadItem;
            else
                out[4] = char(it->value);
            break;
        }
        case kCmosWrite: {
            const uint8_t value = uint8_t(in.at(6));
            if (!m_cmos.Item(item))
                status = kBiosBadItem;
            else if (!m_cmos.SetValue(item, value))
                status = kBiosBadValue;
            else
                m_machine.GetJournal().Record("firmware: CMOS item " + std::to_string(item) + " = " + std::to_string(value));
            break;
        }
        case 0x40001:                           // BIOS vendor
            PutText(out, 4, 64, m_vendor);
            break;
        case 0x40002:                           // integrated graphics
            out[4] = char(int8_t(m_igpMode));
            out[5] = char(m_engineClockOverride);
            break;
        default:
            status = kBiosUnknownCommand;
            break;
        }
    }
    PutU32(out, 0, status);
    char line[64];
    std::snprintf(line, sizeof line, "firmware: RunCMD 0x%X status %u", id, status);
    m_machine.GetJournal().Note(line, status == kBiosSuccess && _IsReadCommand(in));
    return out;
}

} // namespace vb
