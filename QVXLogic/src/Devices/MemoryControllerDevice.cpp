// The memory controller: type, memory clock, and the timing and configuration
// records. A written record is taken whole or not at all: each field must keep
// its current value or be one of its list's values (a page combo without a
// choice would otherwise write 0.0 into the hardware).
#include "Devices/MemoryControllerDevice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "Devices/MemoryFields.h"
#include "Engine/LogCheck.h"

namespace qvx {

namespace {

double DefaultReference(const vb::DeviceBoard& b) { return b.clock.htRef.def > 0 ? b.clock.htRef.def : 200; }

// Values a list offers now; the memory clocks follow the reference clock.
std::vector<double> ListValues(const vb::DeviceBoard& b, int list)
{
    if (list < 0)
        return {};
    const auto it = b.mc.lists.find(kListNames[list]);
    if (it == b.mc.lists.end())
        return {};
    std::vector<double> values = it->second;
    if (list == mfMemClk)
        for (double& v : values)
            v = v * b.clock.htRef.value / DefaultReference(b);
    return values;
}

// The memory clock is kept as its list entry at the default reference clock, so
// reading it back runs the same computation as the list: the values match exactly.
double BaseMemClk(const vb::DeviceBoard& b, double mhz)
{
    const std::vector<double> offered = ListValues(b, mfMemClk);
    const std::vector<double>& base = b.mc.lists.at(kListNames[mfMemClk]);
    for (size_t i = 0; i < offered.size(); ++i)
        if (std::fabs(offered[i] - mhz) <= 0.001)
            return base[i];
    return mhz * DefaultReference(b) / b.clock.htRef.value;
}

double Held(const vb::DeviceBoard& b, const MemoryField& f)
{
    if (f.list == mfMemClk)
        return b.MemClkMHz();
    const auto it = b.mc.fields.find(f.name);
    return it == b.mc.fields.end() ? 0.0 : it->second;
}

void Fill(const vb::DeviceBoard& b, const MemoryField* fields, size_t count, uint8_t* record)
{
    for (size_t i = 0; i < count; ++i) {
        const MemoryField& f = fields[i];
        const double v = Held(b, f);
        if (f.kind == fkDouble)
            std::memcpy(record + f.offset, &v, sizeof(v));
        else
            record[f.offset] = v != 0 ? 1 : 0;
    }
}

// Checks every field, then stores the changed ones; nothing changes on refusal.
bool Store(vb::DeviceBoard& b, const MemoryField* fields, size_t count, const uint8_t* record, const char* what)
{
    std::map<const MemoryField*, double> changes;
    for (size_t i = 0; i < count; ++i) {
        const MemoryField& f = fields[i];
        const double held = Held(b, f);
        if (f.kind == fkReadOnlyFlag)
            continue;   // read-only flags in a written record are ignored
        if (f.kind == fkFlag) {
            const double v = record[f.offset] != 0 ? 1 : 0;
            if (v != held)
                changes[&f] = v;
            continue;
        }
        double v;
        std::memcpy(&v, record + f.offset, sizeof(v));
        if (std::fabs(v - held) < 1e-6)
            continue;
        if (!InList(v, ListValues(b, f.list))) {
            g_Log.Write(ltError, "QVXLogic: %s refused: %s = %g is not offered\n", what, f.name, v);
            return false;
        }
        changes[&f] = v;
    }
    for (const auto& [f, v] : changes) {
        if (f->list == mfMemClk)
            b.mc.memClk = BaseMemClk(b, v);
        else
            b.mc.fields[f->name] = v;
        Journal("MC.%s(%s=%g)", what, f->name, v);
    }
    return true;
}

} // namespace

int CMemoryControllerDevice::GetMemoryType()
{
    QVX_LOCK_BOARD;
    return b.mc.type;
}

double CMemoryControllerDevice::GetMemoryFrequency(double nbMHz, double nbMultiplier)
{
    QVX_LOCK_BOARD;
    return b.MemoryFrequency(nbMHz, nbMultiplier);
}

bool CMemoryControllerDevice::GetTimings(MEMORY_TIMING* timing)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(timing);
    LOG_PROCESS_ERROR(!Refuse("GetTimings"));
    MEMORY_TIMING r{};
    Fill(b, kTimingFields, std::size(kTimingFields), reinterpret_cast<uint8_t*>(&r));
    *timing = r;
    return true;
}

bool CMemoryControllerDevice::SetTimings(MEMORY_TIMING* timing)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(timing);
    LOG_PROCESS_ERROR(!Refuse("SetTimings"));
    MEMORY_TIMING copy = *timing;
    LOG_PROCESS_ERROR(Store(b, kTimingFields, std::size(kTimingFields), reinterpret_cast<const uint8_t*>(&copy), "SetTimings"));
    return true;
}

bool CMemoryControllerDevice::GetConfig(MEMORY_CONFIG* config)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(config);
    LOG_PROCESS_ERROR(!Refuse("GetConfig"));
    MEMORY_CONFIG r{};
    Fill(b, kConfigFields, kConfigFieldCount, reinterpret_cast<uint8_t*>(&r));
    *config = r;
    return true;
}

bool CMemoryControllerDevice::SetConfig(MEMORY_CONFIG* config)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(config);
    LOG_PROCESS_ERROR(!Refuse("SetConfig"));
    MEMORY_CONFIG copy = *config;
    LOG_PROCESS_ERROR(Store(b, kConfigFields, kConfigFieldCount, reinterpret_cast<const uint8_t*>(&copy), "SetConfig"));
    return true;
}

bool CMemoryControllerDevice::_List(MEMORY_FIELD field, double* list, unsigned* count)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(list && count);
    LOG_PROCESS_ERROR(!Refused("MC", (std::string("Get") + kListNames[field] + "List").c_str()));
    const std::vector<double> values = ListValues(b, field);
    const unsigned n = std::min<unsigned>(*count, static_cast<unsigned>(values.size()));
    std::copy_n(values.begin(), n, list);
    *count = n;
    return true;
}

bool CMemoryControllerDevice::IsChannelAPresent()
{
    QVX_LOCK_BOARD;
    return b.mc.channelA;
}

bool CMemoryControllerDevice::IsChannelBPresent()
{
    QVX_LOCK_BOARD;
    return b.mc.channelB;
}

} // namespace qvx
