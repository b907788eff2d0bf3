// Reading the board file's "devices" section into the device state. Every value
// has a sensible default, so a board file lists only what differs.
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/Processor.h"
#include "BoardJson.h"
#include "InventoryLoad.h"
#include "MemoryDefaults.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

namespace vb {

namespace {

using json::Key;
using json::Num;
using json::Numbers;
using json::Text;

ClockDef ReadClock(const QJsonObject& o, double def, double min, double max, double step)
{
    ClockDef c;
    c.def = Num(o, "default", def);
    c.min = Num(o, "min", min);
    c.max = Num(o, "max", max);
    c.step = Num(o, "step", step);
    c.value = Num(o, "value", c.def);
    c.list = Numbers(o.value(Key("list")));
    return c;
}

RailDef ReadRail(const QJsonObject& o, const std::string& name)
{
    RailDef r;
    r.name = Text(o, "name", name.c_str());
    r.present = o.value(Key("present")).toBool(!o.isEmpty());
    r.def = Num(o, "default", 0);
    r.value = Num(o, "value", r.def);
    r.min = Num(o, "min", r.def);
    r.max = Num(o, "max", r.def);
    r.step = Num(o, "step", 1);
    return r;
}

void ReadCpu(const QJsonObject& o, const QJsonObject& processor, Processor& p, CpuState& c)
{
    json::ReadIdentity(o, c.id, true, "", "Vyk Family 10h Processor");
    c.id.name = p.Brand();
    c.id.vendor = p.Vendor();
    c.id.description = Text(o, "description", p.Brand().c_str());
    c.signature = p.Signature();
    c.cores = p.CoreCount() * static_cast<int>(Num(o, "packages", 1));
    const double start = Num(processor, "multiplier", 15);
    c.multiplier.assign(static_cast<size_t>(c.cores), start);
    c.pstate.assign(static_cast<size_t>(c.cores), static_cast<int>(Num(o, "currentPstate", 0)));
    c.startMultiplier = Num(o, "startMultiplier", 4);
    c.maxMultiplier = Num(o, "maxMultiplier", start);
    c.halfMultipliers = o.value(Key("halfMultipliers")).toBool(true);
    c.perCoreControl = o.value(Key("perCoreControl")).toBool(true);
    c.vid = Num(o, "vid", 1.3);
    c.nbVid = Num(o, "nbVid", 1.15);
    c.minVoltage = Num(o, "minVoltage", 0.8);
    c.maxVoltage = Num(o, "maxVoltage", 1.55);
    c.startVoltage = Num(o, "startVoltage", c.vid);
    c.maxRampVoltage = Num(o, "maxRampVoltage", c.maxVoltage);
    c.nbMultiplier = Num(o, "nbMultiplier", 10);
    c.maxFrequencyHz = Num(o, "maxFrequencyHz", Num(processor, "referenceClockMHz", 200) * c.maxMultiplier * 1e6);
    c.hasTemperature = o.value(Key("temperatureSensor")).toBool(true);
    c.idleTemperature = Num(o, "temperature", 41);
    // A number or a list pins the usage (tests do); without one, or with "host",
    // the cores follow the load of the computer the program runs on.
    const QJsonValue usage = o.value(Key("usage"));
    c.usage = usage.isDouble() ? std::vector<double>{usage.toDouble()} : Numbers(usage);
    c.temperaturePair = Numbers(o.value(Key("temperaturePair")));
    if (c.temperaturePair.size() != 2)
        c.temperaturePair.clear();
    const char* levels[4] = {"l1d", "l1i", "l2", "l3"};
    const QJsonObject caches = o.value(Key("caches")).toObject();
    for (int i = 0; i < 4; ++i) {
        const std::vector<double> v = Numbers(caches.value(Key(levels[i])));
        if (v.size() == 4)
            c.caches[static_cast<size_t>(i)] = CacheDef{v[0], v[1], v[2], v[3]};
    }
    c.instructionSet.fill(1);
    for (const QJsonValue& missing : o.value(Key("missingInstructions")).toArray())
        if (missing.toInt() >= 0 && missing.toInt() < 32)
            c.instructionSet[static_cast<size_t>(missing.toInt())] = 0;
    for (const QJsonValue& v : o.value(Key("pstates")).toArray()) {
        const QJsonObject ps = v.toObject();
        PstateDef d;
        d.fid = static_cast<int>(Num(ps, "fid", 0));
        d.did = static_cast<int>(Num(ps, "did", 0));
        d.vid = static_cast<int>(Num(ps, "vid", 0));
        d.nbDid = static_cast<int>(Num(ps, "nbDid", 0));
        d.nbVid = static_cast<int>(Num(ps, "nbVid", 0));
        d.idd = static_cast<int>(Num(ps, "idd", 0));
        d.iddDiv = static_cast<int>(Num(ps, "iddDiv", 0));
        d.enabled = ps.value(Key("enabled")).toBool(true);
        c.pstates.push_back(d);
    }
    const std::vector<double> boost = Numbers(o.value(Key("boost")));
    if (boost.size() == 2) {
        c.boost = boost[0] != 0;
        c.boostSecond = boost[1] != 0;
    }
}

void ReadMemoryController(const QJsonObject& o, MemoryControllerState& m, Machine& machine)
{
    m.type = static_cast<int>(Num(o, "type", 8));
    json::ReadIdentity(o, m.id, true, "Memory Controller", DefaultControllerClass(m.type), &machine);
    m.channelA = o.value(Key("channelA")).toBool(true);
    m.channelB = o.value(Key("channelB")).toBool(true);
    m.memClk = Num(o, "memClk", 400);
    const QJsonObject fields = o.value(Key("fields")).toObject();
    for (auto it = fields.begin(); it != fields.end(); ++it)
        m.fields[it.key().toStdString()] = it.value().toDouble();
    const QJsonObject lists = o.value(Key("lists")).toObject();
    for (auto it = lists.begin(); it != lists.end(); ++it)
        m.lists[it.key().toStdString()] = Numbers(it.value());
    FillMemoryDefaults(m, o.contains(Key("memClk")));
}

GpuState ReadGpu(const QJsonObject& o, Machine& machine)
{
    GpuState g;
    json::ReadIdentity(o, g.id, true, "Vyk Graphics", "Vyk Graphics", &machine);
    g.integrated = o.value(Key("integrated")).toBool(true);
    g.engine = ReadClock(o.value(Key("engineClock")).toObject(), 500, 300, 1300, 5);
    g.memory = ReadClock(o.value(Key("memoryClock")).toObject(), 400, 200, 800, 1);
    g.voltage = ReadClock(o.value(Key("coreVoltage")).toObject(), 1.1, 0.9, 1.3, 0.025);
    g.sidePort = ReadClock(o.value(Key("sidePortClock")).toObject(), 0, 0, 0, 1);
    for (const QJsonValue& v : o.value(Key("levels")).toArray()) {
        const std::vector<double> l = Numbers(v);
        if (l.size() == 3)
            g.levels.push_back(GpuLevelDef{l[0], l[1], l[2]});
    }
    g.currentLevel = static_cast<unsigned>(Num(o, "currentLevel", 0));
    g.sensors = static_cast<unsigned>(Num(o, "sensors", 0));
    g.fanPercent = Num(o, "fanPercent", 0);
    g.temperature = Num(o, "temperature", 0);
    g.usage = Num(o, "usage", -1);
    g.busSpeed = Num(o, "busSpeed", 0);
    g.busLanes = Num(o, "busLanes", 0);
    g.maxBusLanes = Num(o, "maxBusLanes", 0);
    g.powerState = static_cast<int>(Num(o, "powerState", 0));
    g.loadBalancing = o.value(Key("loadBalancing")).toBool(false);
    g.sleepOnTimestamp = o.value(Key("sleepOnTimestamp")).toBool(false);
    g.displayMode = Text(o, "displayMode");
    g.memoryBytes = Num(o, "memoryBytes", 0);
    g.memoryBits = Num(o, "memoryBits", 0);
    const QJsonObject bios = o.value(Key("videoBios")).toObject();
    g.hasVideoBios = !bios.isEmpty();
    g.biosVersion = Text(bios, "version");
    g.biosPartNumber = Text(bios, "partNumber");
    g.biosDate = Text(bios, "date");
    g.biosMemoryType = Text(bios, "memoryType");
    return g;
}

} // namespace

DeviceBoard::DeviceBoard(Machine& machine)
{
    m_processor = &machine.Get<Processor>();
    const QJsonObject processor = machine.Section(Key("processor"));
    const QJsonObject d = machine.Section(Key("devices"));
    m_initFails = d.value(Key("initFails")).toBool(false);
    m_perfControlFails = d.value(Key("perfControlFails")).toBool(false);

    ReadCpu(d.value(Key("cpu")).toObject(), processor, *m_processor, cpu);

    const QJsonObject h = d.value(Key("htLink")).toObject();
    json::ReadIdentity(h, ht.id, true, "HyperTransport Link", "Vyk HyperTransport Link", &machine);
    for (const QJsonValue& v : h.value(Key("links")).toArray()) {
        const QJsonObject l = v.toObject();
        HtLinkDef def;
        def.width = Num(l, "width", -1);
        def.maxWidth = Num(l, "maxWidth", 16);
        def.multiplier = Num(l, "multiplier", 10);
        def.maxMultiplier = Num(l, "maxMultiplier", 10);
        const std::vector<double> rev = Numbers(l.value(Key("revision")));
        if (rev.size() == 2) {
            def.revMajor = static_cast<uint32_t>(rev[0]);
            def.revMinor = static_cast<uint32_t>(rev[1]);
        }
        def.ldtStop = l.value(Key("ldtStop")).toBool(false);
        def.crcFlood = l.value(Key("crcFlood")).toBool(false);
        def.isochronous = l.value(Key("isochronous")).toBool(false);
        ht.links.push_back(def);
    }

    const QJsonObject n = d.value(Key("northBridge")).toObject();
    json::ReadIdentity(n, nb.id, true, "North Bridge", "Vyk North Bridge", &machine);
    nb.maxHTMultiplier = Num(n, "maxHTMultiplier", 10);

    const QJsonObject s = d.value(Key("southBridge")).toObject();
    json::ReadIdentity(s, sb.id, true, "South Bridge", "Vyk South Bridge", &machine);
    sb.fans = Numbers(s.value(Key("fans")));
    sb.temperatures = Numbers(s.value(Key("temperatures")));
    sb.voltages = Numbers(s.value(Key("voltages")));
    sb.acceptsKeepAlive = s.value(Key("keepAlive")).toBool(true);
    const double timeoutMs = Num(s, "keepAliveTimeoutMs", 2000);
    sb.keepAliveTimeoutNs = static_cast<uint64_t>(std::clamp(timeoutMs, 1.0, 3.6e6) * 1e6);

    const QJsonObject c = d.value(Key("clockGenerator")).toObject();
    json::ReadIdentity(c, clock.id, true, "Clock Generator", "Vyk Clock Generator");
    clock.ranges = c.value(Key("ranges")).toBool(true);
    const double ref = Num(processor, "referenceClockMHz", 200);
    clock.htRef = ReadClock(c.value(Key("htRef")).toObject(), ref, ref * 0.75, ref * 1.5, 1);
    clock.htRef.value = ref;    // the processor section holds the running reference
    clock.pcie = ReadClock(c.value(Key("pcie")).toObject(), 100, 90, 150, 1);
    clock.sb = ReadClock(c.value(Key("sb")).toObject(), 66.67, 66.67, 66.67, 0);

    const QJsonObject pw = d.value(Key("pwm")).toObject();
    json::ReadIdentity(pw, pwm.id, true, "Voltage Regulator", "Vyk Voltage Regulator");
    pwm.available = pw.value(Key("available")).toBool(true);
    const char* railNames[6] = {"MemVDDQ", "MemVTT", "CPUVDDC", "NBCoreVol", "NBPCIEVol", "CPUHTVol"};
    const QJsonObject rails = pw.value(Key("rails")).toObject();
    for (size_t i = 0; i < 6; ++i)
        pwm.rails[i] = ReadRail(rails.value(Key(railNames[i])).toObject(), railNames[i]);

    const QJsonObject p2 = d.value(Key("pwm2")).toObject();
    json::ReadIdentity(p2, pwm2.id, true, "Voltage Controller", "Vyk Voltage Controller");
    for (const QJsonValue& v : p2.value(Key("channels")).toArray())
        pwm2.channels.push_back(ReadRail(v.toObject(), ""));

    const QJsonObject sc = d.value(Key("sensorChip")).toObject();
    json::ReadIdentity(sc, sensors.id, true, "Sensor Chip", "Vyk Sensor Chip");
    for (const QJsonValue& v : sc.value(Key("fans")).toArray()) {
        const QJsonObject f = v.toObject();
        FanDef fan;
        fan.present = f.value(Key("present")).toBool(true);
        fan.mode = static_cast<int>(Num(f, "mode", 3));
        fan.percent = static_cast<int>(Num(f, "percent", 50));
        fan.maxRpm = static_cast<int>(Num(f, "maxRpm", 3000));
        sensors.fans.push_back(fan);
    }
    sensors.temperatures = Numbers(sc.value(Key("temperatures")));
    sensors.voltages = Numbers(sc.value(Key("voltages")));

    for (const QJsonValue& v : d.value(Key("gpus")).toArray())
        gpus.push_back(ReadGpu(v.toObject(), machine));

    ReadMemoryController(d.value(Key("memoryController")).toObject(), mc, machine);
    LoadInventory(machine, d, inventory);

    cpu.nominalClockVolt2 = CoreClockMHz(0) * cpu.vid * cpu.vid;
    SyncProcessorClock();
}

} // namespace vb
