// HyperTransport link and bridges. An HT multiplier change takes three steps:
// the link record, the north bridge, then the south bridge commits it.
#include "Devices/ChipsetDevices.h"

#include <cmath>

#include "Engine/LogCheck.h"
#include "VirtualBoard/Devices/KeepAliveWatchdog.h"

namespace qvx {

namespace {

double Reading(const std::vector<double>& values, int i)
{
    if (i < 0 || i >= static_cast<int>(values.size()) || !std::isfinite(values[static_cast<size_t>(i)]))
        return -9999.0;
    return values[static_cast<size_t>(i)];
}

vb::KeepAliveWatchdog& Watchdog() { return vb::Machine::Instance().Get<vb::KeepAliveWatchdog>(); }

} // namespace

bool CHTLinkDevice::GetLinkInfo(int link, HTLINK_INFO* info)
{
    QVX_LOCK_BOARD;
    // Not logged: callers walk the links until this fails.
    if (!info || link < 0 || link >= static_cast<int>(b.ht.links.size()))
        return false;
    LOG_PROCESS_ERROR(!Refuse("GetLinkInfo"));
    const vb::HtLinkDef& l = b.ht.links[static_cast<size_t>(link)];
    HTLINK_INFO r{};
    r.bCRCFlood = l.crcFlood;
    r.bIsochronous = l.isochronous;
    r.bLDTStopTristate = l.ldtStop;
    r.dMaxWidthIn = r.dMaxWidthOut = l.maxWidth;
    r.dMaxFreqIn = r.dMaxFreqOut = b.clock.htRef.value * l.maxMultiplier;
    r.dWidthIn = r.dWidthOut = l.width;
    r.dFreqIn = b.clock.htRef.value * l.multiplier;
    r.uRevisionMajor = l.revMajor;
    r.uRevisionMinor = l.revMinor;
    r.dLinkMultiplier = l.multiplier;
    r.dMaxLinkMultiplier = l.maxMultiplier;
    *info = r;
    return true;
}

bool CHTLinkDevice::SetLinkInfo(int link, HTLINK_INFO* info)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(info);
    LOG_PROCESS_ERROR(!Refuse("SetLinkInfo"));
    LOG_PROCESS_ERROR(link >= 0 && link < static_cast<int>(b.ht.links.size()));
    vb::HtLinkDef& l = b.ht.links[static_cast<size_t>(link)];
    const double m = info->dLinkMultiplier;
    LOG_PROCESS_ERROR(l.width > 0);   // a link not in use has no clock
    LOG_PROCESS_ERROR(OnGrid(m, 1, l.maxMultiplier, 1));
    l.multiplier = m;
    Journal("HT.SetLinkInfo(%d, m=%g)", link, m);
    return true;
}

double CNorthBridgeDevice::GetMaxHTMultiplier()
{
    QVX_LOCK_BOARD;
    return b.nb.maxHTMultiplier;
}

bool CNorthBridgeDevice::SetHTLinkMultiplier(double multiplier)
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("SetHTLinkMultiplier"));
    // The 0x9600 kind does not limit the link multiplier.
    const bool limited = b.nb.id.deviceId != 0x9600;
    LOG_PROCESS_ERROR(std::isfinite(multiplier) && multiplier >= 1);
    LOG_PROCESS_ERROR(!limited || multiplier <= b.nb.maxHTMultiplier + 1e-9);
    b.ht.pendingMultiplier = multiplier;
    Journal("NB.SetHTLinkMultiplier(%g)", multiplier);
    return true;
}

double CSouthBridgeDevice::GetFanSpeed(int fan)
{
    QVX_LOCK_BOARD;
    if (Refuse("GetFanSpeed"))
        return -9999.0;
    return Reading(b.sb.fans, fan);
}

int CSouthBridgeDevice::GetFanCount()
{
    QVX_LOCK_BOARD;
    return static_cast<int>(b.sb.fans.size());
}

double CSouthBridgeDevice::GetTemperature(int sensor)
{
    QVX_LOCK_BOARD;
    if (Refuse("GetTemperature"))
        return -9999.0;
    return Reading(b.sb.temperatures, sensor);
}

double CSouthBridgeDevice::GetVoltage(int input)
{
    QVX_LOCK_BOARD;
    if (Refuse("GetVoltage"))
        return -9999.0;
    return Reading(b.sb.voltages, input);
}

int CSouthBridgeDevice::GetVoltageCount()
{
    QVX_LOCK_BOARD;
    return static_cast<int>(b.sb.voltages.size());
}

bool CSouthBridgeDevice::SetKeepAliveMode(bool on)
{
    LOG_PROCESS_ERROR(!Refuse("SetKeepAliveMode"));
    const bool accepted = Watchdog().SetMode(on);
    LOG_PROCESS_ERROR(accepted);
    Journal("SB.SetKeepAliveMode(%d)", on ? 1 : 0);
    return true;
}

bool CSouthBridgeDevice::SendKeepAlive(bool alive)
{
    LOG_PROCESS_ERROR(!Refuse("SendKeepAlive"));
    // The last pulse may come after the mode was switched off: accepted, counted only in mode.
    Watchdog().Pulse(alive);
    return true;
}

bool CSouthBridgeDevice::ApplyHTLinkChange()
{
    QVX_LOCK_BOARD;
    LOG_PROCESS_ERROR(!Refuse("ApplyHTLinkChange"));
    if (b.ht.pendingMultiplier > 0 && !b.ht.links.empty())
        b.ht.links[0].multiplier = b.ht.pendingMultiplier;
    b.ht.pendingMultiplier = 0;
    ++b.ht.commits;
    Journal("SB.ApplyHTLinkChange()");
    return true;
}

} // namespace qvx
