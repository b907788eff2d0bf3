#include "VirtualBoard/VykAcpi.h"
#include "VirtualBoard/Journal.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

#include <thread>
#include <unistd.h>

namespace vb {

namespace {

const char* const kMethods[][2] = {
    // name, in-parameters (comma separated)
    {"QueryVersion", ""}, {"QueryCommandList", ""}, {"RunCMD", "Inbuf"},
    {"BiosRequest", "pack"}, {"Init", ""}, {"UnInit", ""},
    {"GetValue", "id"}, {"SetValue", "pack"}, {"GetInfo", "id"}, {"GetDValues", "id"},
    {"GetObjectID", ""}, {"GetZoneInfo", ""}, {"SetZoneThermMode", "pack"},
    {"GetThermInfo", "inPack"}, {"SetThermInfo", "pack"},
};

QVariant UI1(int v) { return QVariant::fromValue(static_cast<uchar>(v)); }
QVariant UI2(int v) { return QVariant::fromValue(static_cast<ushort>(v)); }

QVariantMap Object(const char* className, QVariantMap props)
{
    props.insert(QStringLiteral("__CLASS"), QString::fromLatin1(className));
    return props;
}

template <class T>
QList<T> ListOf(const std::vector<T>& v, qsizetype size)
{
    QList<T> out;
    for (qsizetype i = 0; i < size; ++i)
        out.append(size_t(i) < v.size() ? v[size_t(i)] : T{});
    return out;
}

int IntOf(const QVariant& v) { return v.isValid() ? v.toInt() : 0; }

} // namespace

VykAcpi::VykAcpi(Machine& machine) : m_machine(machine)
{
    const QJsonObject s = machine.Section(QStringLiteral("vykAcpi"));
    m_instances = int(ToU64(s.value(QStringLiteral("instances")), 1));
    for (const QJsonValue& m : s.value(QStringLiteral("staticMethods")).toArray())
        m_staticMethods.append(m.toString());
    m_version = int(ToU64(s.value(QStringLiteral("version")), 0));
    for (const QJsonValue& c : s.value(QStringLiteral("commands")).toArray())
        m_commands.push_back(uint32_t(ToU64(c)));
    m_initStatus = int(ToU64(s.value(QStringLiteral("initStatus")), 0));
    m_vendor = s.value(QStringLiteral("vendor")).toString().toStdString();
    m_igpMode = s.value(QStringLiteral("igpMode")).toInt(-1);
    m_engineClockOverride = int(ToU64(s.value(QStringLiteral("engineClockOverride")), 0));
    const QJsonObject values = s.value(QStringLiteral("values")).toObject();
    for (auto it = values.begin(); it != values.end(); ++it)
        m_values[int(ToU64(QJsonValue(it.key())))] = it.value().toInt();
    const QJsonObject info = s.value(QStringLiteral("info")).toObject();
    for (auto it = info.begin(); it != info.end(); ++it)
        for (const QJsonValue& x : it.value().toArray())
            m_info[int(ToU64(QJsonValue(it.key())))].push_back(uint32_t(ToU64(x)));
    const QJsonObject dvalues = s.value(QStringLiteral("dvalues")).toObject();
    for (auto it = dvalues.begin(); it != dvalues.end(); ++it)
        for (const QJsonValue& x : it.value().toArray())
            m_dvalues[int(ToU64(QJsonValue(it.key())))].push_back(x.toInt());
    for (const QJsonValue& o : s.value(QStringLiteral("objects")).toArray()) {
        const QJsonObject obj = o.toObject();
        m_objects.push_back({uint32_t(ToU64(obj.value(QStringLiteral("id")))),
                             uint32_t(ToU64(obj.value(QStringLiteral("property")))),
                             obj.value(QStringLiteral("name")).toString()});
    }
    for (const QJsonValue& f : s.value(QStringLiteral("functionIds")).toArray())
        m_functionIds.push_back(uint32_t(ToU64(f)));
    const QJsonObject zones = s.value(QStringLiteral("zones")).toObject();
    m_zoneStatus = zones.value(QStringLiteral("status")).toInt();
    // Read as the bound check reads it: a number, or its text.
    m_thermBufSize = int(ToU64(zones.value(QStringLiteral("thermBufSize")), 0));
    const QJsonArray modes = zones.value(QStringLiteral("modes")).toArray();
    for (int i = 0; i < 4 && i < modes.size(); ++i)
        m_zoneModes[size_t(i)] = modes.at(i).toInt();
    for (const QJsonValue& t : s.value(QStringLiteral("thermal")).toArray()) {
        const QJsonObject z = t.toObject();
        Zone zone;
        zone.temperature = z.value(QStringLiteral("temperature")).toInt();
        zone.fanRpm = z.value(QStringLiteral("fanRpm")).toInt();
        m_zones[z.value(QStringLiteral("zone")).toInt()] = zone;
    }
    m_callLog = s.value(QStringLiteral("callLog")).toString();
    if (!m_callLog.isEmpty() && QDir::isRelativePath(m_callLog))
        m_callLog = machine.BoardDir() + QLatin1Char('/') + m_callLog;
    m_cmos.Load(s.value(QStringLiteral("cmosItems")).toArray(), Machine::CmosStateFile());
}

bool VykAcpi::IsPresent() const { return !m_machine.GetFaults().IsSet("vyk-acpi-absent"); }

std::vector<WmiMethodSpec> VykAcpi::Methods() const
{
    std::vector<WmiMethodSpec> out;
    for (const auto& m : kMethods) {
        WmiMethodSpec spec;
        spec.name = QString::fromLatin1(m[0]);
        spec.isStatic = m_staticMethods.contains(spec.name);
        if (*m[1])
            spec.inParameters = QString::fromLatin1(m[1]).split(QLatin1Char(','));
        out.push_back(spec);
    }
    return out;
}

bool VykAcpi::_Fault(const char* kind, const QString& method) const
{
    return m_machine.GetFaults().IsSet(std::string("vyk-acpi-") + kind + ":" + method.toStdString());
}

void VykAcpi::_TraceCall(const char* phase) const
{
    // Cross-process tests read this file to see whether calls of two processes overlapped.
    if (m_callLog.isEmpty())
        return;
    QFile file(m_callLog);
    if (file.open(QIODevice::Append))
        file.write(QStringLiteral("%1 %2 %3\n").arg(QLatin1String(phase)).arg(getpid()).arg(m_method).toLatin1());
}

bool VykAcpi::Invoke(const QString& method, const QVariantMap& in, QVariantMap* out)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    m_method = method;
    out->clear();
    m_calls[method]++;
    m_lastIn[method] = in;
    _TraceCall("begin");
    for (int i = 0; i < 20 && !m_callLog.isEmpty(); ++i)
        std::this_thread::yield();              // widen the window another process could slip into
    bool ok = !_Fault("fail", method) && _Dispatch(method, in, out);
    if (ok && _Fault("empty", method))
        for (auto it = out->begin(); it != out->end(); ++it)
            *it = QVariant();
    _TraceCall("end");
    std::string line = "firmware: VYK_ACPI." + method.toStdString() + (ok ? " ok" : " failed");
    m_machine.GetJournal().Note(std::move(line), ok && IsRead(method, in));
    return ok;
}

bool VykAcpi::IsRead(const QString& method, const QVariantMap& in)
{
    if (method == QLatin1String("RunCMD"))
        return _IsReadCommand(in.value(QStringLiteral("Inbuf")).toByteArray());
    return method.startsWith(QLatin1String("Query")) || method.startsWith(QLatin1String("Get"));
}

bool VykAcpi::_Dispatch(const QString& method, const QVariantMap& in, QVariantMap* out)
{
    const bool shorter = _Fault("short", method), longer = _Fault("long", method);
    if (method == QLatin1String("QueryVersion")) {
        out->insert(QStringLiteral("Version"), m_version);
    } else if (method == QLatin1String("QueryCommandList")) {
        qsizetype count = qsizetype(m_commands.size()), listed = count;
        if (shorter)
            listed = count / 2;
        if (longer)
            count = listed = 1000;
        out->insert(QStringLiteral("CommandList"),
                    Object("CommandListPackage", {{QStringLiteral("CommandCount"), int(count)},
                                                  {QStringLiteral("List"), QVariant::fromValue(ListOf(m_commands, listed))}}));
    } else if (method == QLatin1String("RunCMD")) {
        const QByteArray inbuf = in.value(QStringLiteral("Inbuf")).toByteArray();
        if (inbuf.size() != 256)
            return false;                       // the channel takes whole command records only
        m_lastInbuf = inbuf;
        QByteArray result = _RunCommand(inbuf);
        if (shorter)
            result.truncate(3);
        if (longer)
            result.append(QByteArray(512, '\x5A'));
        out->insert(QStringLiteral("Outbuf"), Object("RunCMDOutPackage", {{QStringLiteral("Result"), result}}));
    } else if (method == QLatin1String("BiosRequest")) {
        const QVariantMap pack = in.value(QStringLiteral("pack")).toMap();
        QStringList x;
        for (int v : pack.value(QStringLiteral("x")).value<QList<int>>())
            x.append(QString::number(v));
        m_machine.GetJournal().Record("firmware: BiosRequest x=[" + x.join(QLatin1Char(',')).toStdString() + "]");
    } else if (method == QLatin1String("Init") || method == QLatin1String("UnInit")) {
        out->insert(QStringLiteral("status"), UI1(m_initStatus));
    } else if (method == QLatin1String("GetValue")) {
        const auto it = m_values.find(IntOf(in.value(QStringLiteral("id"))));
        out->insert(QStringLiteral("pack"),
                    Object("GetValuePackage", {{QStringLiteral("status"), UI1(it == m_values.end() ? 1 : 0)},
                                               {QStringLiteral("value"), it == m_values.end() ? 0 : it->second}}));
    } else if (method == QLatin1String("SetValue")) {
        const QVariantMap pack = in.value(QStringLiteral("pack")).toMap();
        const int id = IntOf(pack.value(QStringLiteral("id"))), value = IntOf(pack.value(QStringLiteral("value")));
        const auto it = m_values.find(id);
        if (it != m_values.end())
            it->second = value;
        m_machine.GetJournal().Record("firmware: SetValue id=" + std::to_string(id) + " value=" + std::to_string(value));
        out->insert(QStringLiteral("status"), UI1(it == m_values.end() ? 1 : 0));
    } else if (method == QLatin1String("GetInfo")) {
        const std::vector<uint32_t> x = m_info[IntOf(in.value(QStringLiteral("id")))];
        const qsizetype n = longer ? 64 : shorter ? 0 : qsizetype(x.size());
        out->insert(QStringLiteral("pack"),
                    Object("GetInfoPackage", {{QStringLiteral("x"), QVariant::fromValue(ListOf(x, n))}}));
    } else if (method == QLatin1String("GetDValues")) {
        const std::vector<int> d = m_dvalues[IntOf(in.value(QStringLiteral("id")))];
        int length = int(d.size());
        qsizetype n = length;
        if (shorter)
            n = length / 2;
        if (longer)
            length = int(n = 100);
        out->insert(QStringLiteral("pack"),
                    Object("GetDValuesPackage", {{QStringLiteral("length"), length},
                                                 {QStringLiteral("DValueBuffer"), QVariant::fromValue(ListOf(d, n))}}));
    } else if (method == QLatin1String("GetObjectID")) {
        out->insert(QStringLiteral("pack"), _ObjectIdPack());
    } else if (method == QLatin1String("GetZoneInfo")) {
        out->insert(QStringLiteral("pack"),
                    Object("ZoneInfoPackage", {{QStringLiteral("ZoneStatus"), UI1(m_zoneStatus)},
                                               {QStringLiteral("ThermBufSize"), UI1(m_thermBufSize)},
                                               {QStringLiteral("Zone0Mode"), UI1(m_zoneModes[0])},
                                               {QStringLiteral("Zone1Mode"), UI1(m_zoneModes[1])},
                                               {QStringLiteral("Zone2Mode"), UI1(m_zoneModes[2])},
                                               {QStringLiteral("Zone3Mode"), UI1(m_zoneModes[3])},
                                               {QStringLiteral("Reserved"), QByteArray(10, '\0')}}));
    } else if (method == QLatin1String("SetZoneThermMode")) {
        const QVariantMap pack = in.value(QStringLiteral("pack")).toMap();
        for (int i = 0; i < 4; ++i)
            m_zoneModes[size_t(i)] = IntOf(pack.value(QStringLiteral("Zone%1Mode").arg(i)));
    } else if (method == QLatin1String("GetThermInfo")) {
        const QVariantMap pack = in.value(QStringLiteral("inPack")).toMap();
        const auto it = m_zones.find(IntOf(pack.value(QStringLiteral("ZoneNum"))));
        if (it == m_zones.end())
            return false;
        out->insert(QStringLiteral("pack"),
                    Object("ThermInfoPackage", {{QStringLiteral("CurTemp"), UI1(it->second.temperature)},
                                                {QStringLiteral("CurFanSpd"), UI2(it->second.fanRpm)}}));
    } else if (method == QLatin1String("SetThermInfo")) {
        const QVariantMap pack = in.value(QStringLiteral("pack")).toMap();
        const auto it = m_zones.find(IntOf(pack.value(QStringLiteral("ZoneNum"))));
        if (it == m_zones.end())
            return false;
        it->second.table = pack;
    } else {
        return false;
    }
    return true;
}

QVariantMap VykAcpi::_ObjectIdPack() const
{
    const bool shorter = _Fault("short", QStringLiteral("GetObjectID"));
    const bool longer = _Fault("long", QStringLiteral("GetObjectID"));
    const int length = longer ? 200 : int(m_objects.size());
    const int listed = longer ? 200 : shorter ? int(m_objects.size()) / 2 : int(m_objects.size());
    QList<uint> ids, props;
    QStringList names;
    for (int i = 0; i < listed; ++i) {
        const ObjectId o = size_t(i) < m_objects.size() ? m_objects[size_t(i)] : ObjectId{uint32_t(i), 0, QString(100, QLatin1Char('n'))};
        ids.append(o.id);
        props.append(o.property);
        names.append(o.name);
    }
    const qsizetype xCount = longer ? 200 : shorter ? 10 : qsizetype(m_functionIds.size());
    QVariantMap pack{{QStringLiteral("length"), length},
                     {QStringLiteral("property"), QVariant::fromValue(props)},
                     {QStringLiteral("IDstring"), names},
                     {QStringLiteral("x"), QVariant::fromValue(ListOf(m_functionIds, xCount))}};
    if (!m_machine.GetFaults().IsSet("vyk-acpi-no-id"))
        pack.insert(QStringLiteral("ID"), QVariant::fromValue(ids));
    return Object("ObjectIDPackage", pack);
}

int VykAcpi::CallCount(const QString& method) const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    const auto it = m_calls.find(method);
    return it == m_calls.end() ? 0 : it->second;
}

QVariantMap VykAcpi::LastIn(const QString& method) const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    const auto it = m_lastIn.find(method);
    return it == m_lastIn.end() ? QVariantMap() : it->second;
}

QByteArray VykAcpi::LastInbuf() const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_lastInbuf;
}

uint8_t VykAcpi::CmosValue(uint32_t number) const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    const CmosItem* item = m_cmos.Item(number);
    return item ? item->value : 0;
}

} // namespace vb
