#include "Devices/DeviceSupport.h"

#include <QString>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "Engine/LogCheck.h"

namespace qvx {

vb::DeviceBoard& Board() { return vb::Machine::Instance().Get<vb::DeviceBoard>(); }

std::u16string ToU16(const std::string& text) { return QString::fromStdString(text).toStdU16String(); }

void Journal(const char* format, ...)
{
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    vb::Machine::Instance().GetJournal().Record(std::string("qvx: ") + line);
}

bool Refused(const char* tag, const char* operation)
{
    const std::string name = std::string("qvx:") + tag + "." + operation;
    if (!vb::Machine::Instance().GetFaults().IsSet(name))
        return false;
    g_Log.Write(ltError, "QVXLogic: %s.%s failed (fault switch)\n", tag, operation);
    return true;
}

void CopyText(char* dest, size_t size, const std::string& text)
{
    if (size == 0)
        return;
    const size_t n = std::min(size - 1, text.size());
    std::memcpy(dest, text.data(), n);
    std::memset(dest + n, 0, size - n);
}

bool OnGrid(double value, double min, double max, double step)
{
    if (!std::isfinite(value) || value < min - 1e-6 || value > max + 1e-6)
        return false;
    if (step <= 0)
        return true;
    const double k = (value - min) / step;
    return std::fabs(k - std::round(k)) < 1e-6;
}

bool InList(double value, const std::vector<double>& list, double tolerance)
{
    for (double v : list)
        if (std::fabs(v - value) <= tolerance)
            return true;
    return false;
}

} // namespace qvx
