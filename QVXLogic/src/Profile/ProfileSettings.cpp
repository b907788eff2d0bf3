// Hardware profiles in the value store's format. Items are matched to devices by
// (type word, name) after the element-name rule, as the pages store them, so the
// program's own "QVXConfig.xml" applies as a profile.
#include "QVXLogic/ProfileSettings.h"

#include <QString>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "Devices/DeviceSupport.h"
#include "Devices/MemoryFields.h"
#include "Engine/LogCheck.h"
#include "Profile/ValueFile.h"
#include "QVXLogic/QVXLogic.h"

namespace {

using qvx::ValueFile;

constexpr double kVoltScale = 100000.0;   // CPUVID and NBVID are stored in volts x 100000
constexpr int kMaxCores = 4;              // the pages store Multiplier..Multiplier4

QString Q(const char16_t* text) { return text ? QString::fromUtf16(text) : QString(); }
QString MultiplierItem(int core) { return core == 0 ? QStringLiteral("Multiplier") : QStringLiteral("Multiplier%1").arg(core + 1); }
QString FanItem(int fan) { return QStringLiteral("Fan%1SpeedPercentage").arg(fan); }
const char* const kRailItems[prCount] = {"MemVDDQ", "MemVTT", "CPUVDDC", "NBCoreVol", "NBPCIEVol", "CPUHTVol"};
const QString kFanGroup = QStringLiteral("FanControl"), kFanSub = QStringLiteral("Settings");

double RailGet(IPWMControllerDevice* pwm, int rail)
{
    switch (rail) {
    case prMemVDDQ: return pwm->GetMemVDDQ();
    case prMemVTT: return pwm->GetMemVTT();
    case prCPUVDDC: return pwm->GetCPUVDDC();
    case prNBCore: return pwm->GetNBCoreVoltage();
    case prNBPCIE: return pwm->GetNBPCIEVoltage();
    default: return pwm->GetCPUHTVoltage();
    }
}

bool RailSet(IPWMControllerDevice* pwm, int rail, double value)
{
    switch (rail) {
    case prMemVDDQ: return pwm->SetMemVDDQ(value);
    case prMemVTT: return pwm->SetMemVTT(value);
    case prCPUVDDC: return pwm->SetCPUVDDC(value);
    case prNBCore: return pwm->SetNBCoreVoltage(value);
    case prNBPCIE: return pwm->SetNBPCIEVoltage(value);
    default: return pwm->SetCPUHTVoltage(value);
    }
}

bool Same(double a, double b) { return std::fabs(a - b) < 1e-6; }

// Field values of a record, read and written by the memory field table.
double FieldValue(const uint8_t* record, const qvx::MemoryField& f)
{
    if (f.kind != qvx::fkDouble)
        return record[f.offset] != 0 ? 1 : 0;
    double v;
    std::memcpy(&v, record + f.offset, sizeof(v));
    return v;
}

void SetField(uint8_t* record, const qvx::MemoryField& f, double v)
{
    if (f.kind != qvx::fkDouble)
        record[f.offset] = v != 0 ? 1 : 0;
    else
        std::memcpy(record + f.offset, &v, sizeof(v));
}

void SaveFields(ValueFile& file, const QString& group, const QString& sub, const uint8_t* record,
                const qvx::MemoryField* fields, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (fields[i].profileKey)
            file.Set(group, sub, QString::fromLatin1(fields[i].profileKey), FieldValue(record, fields[i]));
}

// Applies what a file holds, remembering whether every write was taken.
class Applier {
public:
    explicit Applier(const ValueFile& file) : m_File(file) {}

    bool Ok() const { return m_bOk; }

    // The item's number; false when absent. An unreadable number counts as a failure.
    bool Number(const QString& group, const QString& sub, const QString& item, double* value)
    {
        const QString* text = m_File.Find(group, sub, item);
        if (!text)
            return false;
        if (ValueFile::ToNumber(*text, value))
            return true;
        g_Log.Write(ltError, "QVXLogic: profile item %s/%s/%s is not a number\n", qPrintable(group), qPrintable(sub),
                    qPrintable(item));
        m_bOk = false;
        return false;
    }

    // Writes a changed value now.
    void Write(const char* what, double target, double current, const std::function<bool(double)>& write)
    {
        if (Same(target, current))
            return;
        if (!write(target)) {
            g_Log.Write(ltError, "QVXLogic: profile value %s = %g was refused\n", what, target);
            m_bOk = false;
        }
    }

    // Voltages go up before the clocks change and down after them.
    void Voltage(const char* what, double target, double current, std::function<bool(double)> write)
    {
        if (target > current)
            Write(what, target, current, write);
        else if (!Same(target, current))
            m_Later.push_back([this, what, target, current, write] { Write(what, target, current, write); });
    }

    void Finish()
    {
        for (auto& step : m_Later)
            step();
        m_Later.clear();
    }

    void Fail() { m_bOk = false; }

private:
    const ValueFile& m_File;
    bool m_bOk = true;
    std::vector<std::function<void()>> m_Later;
};

void ApplyVoltages(Applier& a, ICPUDevice* cpu, IPWMControllerDevice* pwm, IPWMController2Device* pwm2)
{
    double v;
    if (cpu) {
        const QString g = Q(cpu->GetTypeName()), s = Q(cpu->GetName());
        if (a.Number(g, s, QStringLiteral("CPUVID"), &v))
            a.Voltage("CPUVID", v / kVoltScale, cpu->GetCPUVid(), [cpu](double x) { return cpu->SetCPUVid(x); });
        if (cpu->GetNBVid() > 0 && a.Number(g, s, QStringLiteral("NBVID"), &v))
            a.Voltage("NBVID", v / kVoltScale, cpu->GetNBVid(), [cpu](double x) { return cpu->SetNBVid(x); });
    }
    if (pwm && pwm->IsAvailable()) {
        const QString g = Q(pwm->GetTypeName()), s = Q(pwm->GetName());
        for (int r = 0; r < prCount; ++r) {
            const double current = RailGet(pwm, r);
            if (current != 0.0 && a.Number(g, s, QString::fromLatin1(kRailItems[r]), &v))
                a.Voltage(kRailItems[r], v, current, [pwm, r](double x) { return RailSet(pwm, r, x); });
        }
    }
    if (pwm2) {
        const QString g = Q(pwm2->GetTypeName()), s = Q(pwm2->GetName());
        for (int c = 0; c < pwm2->GetChannelCount(); ++c)
            if (a.Number(g, s, Q(pwm2->GetChannelName(c)), &v))
                a.Voltage("channel", v, pwm2->GetChannelVoltage(c), [pwm2, c](double x) { return pwm2->SetChannelVoltage(c, x); });
    }
}

void ApplyClocks(Applier& a, IClockGeneratorDevice* cg, unsigned long cores)
{
    double v;
    if (cg) {
        const QString g = Q(cg->GetTypeName()), s = Q(cg->GetName());
        if (a.Number(g, s, QStringLiteral("HTRefClock"), &v))
            a.Write("HTRefClock", v, cg->GetHTRefClock(), [cg](double x) { return cg->SetHTRefClock(x); });
        if (a.Number(g, s, QStringLiteral("PCIeClock"), &v))
            a.Write("PCIeClock", v, cg->GetPCIeClock(), [cg](double x) { return cg->SetPCIeClock(x); });
    }
    ICPUDevice* cpu0 = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    if (cpu0) {
        const QString g = Q(cpu0->GetTypeName()), s = Q(cpu0->GetName());
        const int perCore = cpu0->IsPerCoreControlSupported() ? kMaxCores : 1;
        for (int core = 0; core < perCore && core < static_cast<int>(cores); ++core) {
            ICPUDevice* cpu = QvxGetDevice<ICPUDevice>(dtCPU, static_cast<unsigned long>(core));
            if (cpu && a.Number(g, s, MultiplierItem(core), &v))
                a.Write("Multiplier", v, cpu->GetCurrentMultiplier(), [cpu](double x) { return cpu->SetMultiplier(x); });
        }
    }
    IHTLinkDevice* link = QvxGetDevice<IHTLinkDevice>(dtHTLink, 0);
    HTLINK_INFO info{};
    if (link && a.Number(Q(link->GetTypeName()), Q(link->GetName()), QStringLiteral("Multiplier"), &v)
        && link->GetLinkInfo(0, &info)) {
        // The link record, the north bridge, then the south bridge commits.
        a.Write("HT multiplier", v, info.dLinkMultiplier, [link, &info](double x) {
            info.dLinkMultiplier = x;
            INorthBridgeDevice* nb = QvxGetDevice<INorthBridgeDevice>(dtNorthBridge, 0);
            ISouthBridgeDevice* sb = QvxGetDevice<ISouthBridgeDevice>(dtSouthBridge, 0);
            return link->SetLinkInfo(0, &info) && nb && nb->SetHTLinkMultiplier(x) && sb && sb->ApplyHTLinkChange();
        });
    }
}

void ApplyGpu(Applier& a, IGPUDevice* gpu)
{
    double v;
    if (!gpu)
        return;
    const QString g = Q(gpu->GetTypeName()), s = Q(gpu->GetName());
    if (gpu->IsIntegrated() && a.Number(g, s, QStringLiteral("IGPClock"), &v))
        a.Write("IGPClock", v, gpu->GetEngineClock(0), [gpu](double x) { return gpu->SetEngineClock(x); });
    if (gpu->GetSidePortClockMax() > 0 && a.Number(g, s, QStringLiteral("SidePortClock"), &v))
        a.Write("SidePortClock", v, gpu->GetSidePortClock(), [gpu](double x) { return gpu->SetSidePortClock(x); });
}

// Read-modify-write of one memory record: only the items the file holds change.
template <class Record>
void ApplyRecord(Applier& a, const QString& g, const QString& s, const qvx::MemoryField* fields, size_t count,
                 const std::function<bool(Record*)>& get, const std::function<bool(Record*)>& set)
{
    Record record{};
    if (!get(&record)) {
        a.Fail();
        return;
    }
    bool changed = false;
    for (size_t i = 0; i < count; ++i) {
        double v;
        uint8_t* bytes = reinterpret_cast<uint8_t*>(&record);
        if (fields[i].profileKey && a.Number(g, s, QString::fromLatin1(fields[i].profileKey), &v)
            && !Same(v, FieldValue(bytes, fields[i]))) {
            SetField(bytes, fields[i], v);
            changed = true;
        }
    }
    if (changed && !set(&record)) {
        g_Log.Write(ltError, "QVXLogic: profile memory settings under %s were refused\n", qPrintable(s));
        a.Fail();
    }
}

void ApplyMemory(Applier& a, IMemoryControllerDevice* mc)
{
    if (!mc)
        return;
    const QString g = Q(mc->GetTypeName()), s = Q(mc->GetName());
    ApplyRecord<MEMORY_TIMING>(a, g, s, qvx::kTimingFields, std::size(qvx::kTimingFields),
                               [mc](MEMORY_TIMING* r) { return mc->GetTimings(r); },
                               [mc](MEMORY_TIMING* r) { return mc->SetTimings(r); });
    ApplyRecord<MEMORY_CONFIG>(a, g, s, qvx::kConfigFields, qvx::kConfigFieldCount,
                               [mc](MEMORY_CONFIG* r) { return mc->GetConfig(r); },
                               [mc](MEMORY_CONFIG* r) { return mc->SetConfig(r); });
}

void ApplyFansAndBoost(Applier& a, ISensorChipDevice* sc, ICPUDevice* cpu)
{
    double v;
    for (int fan = 0; sc && fan < 3; ++fan) {
        int mode = 0, percent = 0;
        // Only a fan under manual control takes a duty.
        if (sc->GetFanMode(fan, &mode) && mode == fmManual && sc->GetFanSpeedPercent(fan, &percent)
            && a.Number(kFanGroup, kFanSub, FanItem(fan), &v))
            a.Write("fan duty", v, percent, [sc, fan](double x) { return sc->SetFanSpeedPercent(fan, static_cast<int>(std::lround(x))); });
    }
    bool boost = false, second = false;
    if (cpu && cpu->GetBoostMode(&boost, &second)) {
        const QString g = Q(cpu->GetTypeName()), s = Q(cpu->GetName());
        double first = boost, other = second;
        const bool hasFirst = a.Number(g, s, QStringLiteral("ClockDivisor"), &first);
        const bool hasSecond = a.Number(g, s, QStringLiteral("TLBCaching"), &other);
        if ((hasFirst || hasSecond) && (!Same(first, boost) || !Same(other, second))) {
            if (!cpu->SetBoostMode(first != 0, other != 0))
                a.Fail();
        }
    }
}

} // namespace

bool CProfileSettgins::SaveSettings(const char16_t* path)
{
    LOG_PROCESS_ERROR(path && *path);
    LOG_PROCESS_ERROR(!qvx::Refused("Profile", "SaveSettings"));
    ValueFile file;
    if (ICPUDevice* cpu0 = QvxGetDevice<ICPUDevice>(dtCPU, 0)) {
        const QString g = Q(cpu0->GetTypeName()), s = Q(cpu0->GetName());
        for (unsigned long core = 0; core < kMaxCores; ++core)
            if (ICPUDevice* cpu = QvxGetDevice<ICPUDevice>(dtCPU, core))
                file.Set(g, s, MultiplierItem(static_cast<int>(core)), cpu->GetCurrentMultiplier());
        file.Set(g, s, QStringLiteral("CPUVID"), std::round(cpu0->GetCPUVid() * kVoltScale));
        if (cpu0->GetNBVid() > 0)
            file.Set(g, s, QStringLiteral("NBVID"), std::round(cpu0->GetNBVid() * kVoltScale));
        bool boost = false, second = false;
        if (cpu0->GetBoostMode(&boost, &second)) {
            file.Set(g, s, QStringLiteral("ClockDivisor"), boost ? 1 : 0);
            file.Set(g, s, QStringLiteral("TLBCaching"), second ? 1 : 0);
        }
    }
    if (auto* cg = QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0)) {
        file.Set(Q(cg->GetTypeName()), Q(cg->GetName()), QStringLiteral("HTRefClock"), cg->GetHTRefClock());
        file.Set(Q(cg->GetTypeName()), Q(cg->GetName()), QStringLiteral("PCIeClock"), cg->GetPCIeClock());
    }
    HTLINK_INFO info{};
    if (auto* link = QvxGetDevice<IHTLinkDevice>(dtHTLink, 0); link && link->GetLinkInfo(0, &info))
        file.Set(Q(link->GetTypeName()), Q(link->GetName()), QStringLiteral("Multiplier"), info.dLinkMultiplier);
    if (auto* gpu = QvxGetDevice<IGPUDevice>(dtGPU, 0)) {
        if (gpu->IsIntegrated())
            file.Set(Q(gpu->GetTypeName()), Q(gpu->GetName()), QStringLiteral("IGPClock"), gpu->GetEngineClock(0));
        if (gpu->GetSidePortClockMax() > 0)
            file.Set(Q(gpu->GetTypeName()), Q(gpu->GetName()), QStringLiteral("SidePortClock"), gpu->GetSidePortClock());
    }
    if (auto* pwm = QvxGetDevice<IPWMControllerDevice>(dtPWMController, 0); pwm && pwm->IsAvailable()) {
        for (int r = 0; r < prCount; ++r)
            if (const double value = RailGet(pwm, r); value != 0.0)
                file.Set(Q(pwm->GetTypeName()), Q(pwm->GetName()), QString::fromLatin1(kRailItems[r]), value);
    }
    if (auto* pwm2 = QvxGetDevice<IPWMController2Device>(dtPWMController2, 0))
        for (int c = 0; c < pwm2->GetChannelCount(); ++c)
            file.Set(Q(pwm2->GetTypeName()), Q(pwm2->GetName()), Q(pwm2->GetChannelName(c)), pwm2->GetChannelVoltage(c));
    if (auto* mc = QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0)) {
        MEMORY_TIMING timing{};
        MEMORY_CONFIG config{};
        if (mc->GetTimings(&timing))
            SaveFields(file, Q(mc->GetTypeName()), Q(mc->GetName()), reinterpret_cast<const uint8_t*>(&timing),
                       qvx::kTimingFields, std::size(qvx::kTimingFields));
        if (mc->GetConfig(&config))
            SaveFields(file, Q(mc->GetTypeName()), Q(mc->GetName()), reinterpret_cast<const uint8_t*>(&config),
                       qvx::kConfigFields, qvx::kConfigFieldCount);
    }
    if (auto* sc = QvxGetDevice<ISensorChipDevice>(dtSensorChip, 0)) {
        for (int fan = 0; fan < 3; ++fan) {
            int percent = 0;
            if (sc->GetFanSpeedPercent(fan, &percent))
                file.Set(kFanGroup, kFanSub, FanItem(fan), percent);
        }
    }
    QString error;
    const bool saved = file.Save(QString::fromUtf16(path), &error);
    if (!saved)
        g_Log.Write(ltError, "QVXLogic: cannot write the profile %s: %s\n", qPrintable(QString::fromUtf16(path)),
                    qPrintable(error));
    LOG_PROCESS_ERROR(saved);
    return true;
}

bool CProfileSettgins::ApplySettings(const char16_t* path)
{
    LOG_PROCESS_ERROR(path && *path);
    ValueFile file;
    QString error;
    const bool loaded = file.Load(QString::fromUtf16(path), &error);
    if (!loaded)
        g_Log.Write(ltError, "QVXLogic: cannot read the profile %s: %s\n", qPrintable(QString::fromUtf16(path)),
                    qPrintable(error));
    LOG_PROCESS_ERROR(loaded);

    Applier a(file);
    ICPUDevice* cpu0 = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    ApplyVoltages(a, cpu0, QvxGetDevice<IPWMControllerDevice>(dtPWMController, 0),
                  QvxGetDevice<IPWMController2Device>(dtPWMController2, 0));
    ApplyClocks(a, QvxGetDevice<IClockGeneratorDevice>(dtClockGenerator, 0), g_DeviceManager.GetDeviceCount(dtCPU));
    ApplyGpu(a, QvxGetDevice<IGPUDevice>(dtGPU, 0));
    ApplyMemory(a, QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0));
    ApplyFansAndBoost(a, QvxGetDevice<ISensorChipDevice>(dtSensorChip, 0), cpu0);
    a.Finish();
    LOG_PROCESS_ERROR(a.Ok());
    return true;
}
