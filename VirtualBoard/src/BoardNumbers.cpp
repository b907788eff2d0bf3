#include "BoardNumbers.h"

#include <QLocale>
#include <QVariant>

#include <cmath>
#include <limits>
#include <map>

namespace vb {

namespace {

using K = NumberKind;

struct Field {
    const char* path;
    NumberRule rule;
};

// Every number a board file gives, but for the counts and sizes whose bounds
// BoardLimits.cpp keeps (they are whole numbers from 0 to their bound). The kinds
// follow the readers: an unsigned field cut to N bits is BitsN, a field read as a
// signed int Integer, one kept as a double Real.
const Field kFields[] = {
    // Processor.cpp, FirmwareTables.cpp
    {"processor.signature", {K::Bits32}},
    {"processor.maxStandardLeaf", {K::Bits32}},
    {"processor.maxExtendedLeaf", {K::Bits32}},
    {"processor.cpuid.*.*", {K::Bits32}},
    {"processor.msr.*", {K::Bits64}},
    {"processor.referenceClockMHz", {K::Real}},
    {"processor.multiplier", {K::Real}},
    {"processor.tscStart", {K::Bits64}},
    // AcpiBuilder.cpp: the RSDP holds the RSDT's address in 32 bits.
    {"acpi.rsdpRevision", {K::Bits8}},
    {"acpi.ecamBase", {K::Bits64}},
    {"acpi.ecamEndBus", {K::Bits8}},
    {"acpi.rsdtAddress", {K::Bits32}},
    {"acpi.xsdtAddress", {K::Bits64}},
    {"acpi.blobs.*.address", {K::Bits64}},
    // SmbiosBuilder.cpp: each number fills a field of its structure.
    {"smbios.bios.segment", {K::Bits16}},
    {"smbios.bios.romSizeKB", {K::Bits32}},
    {"smbios.bios.characteristics", {K::Bits64}},
    {"smbios.bios.extension1", {K::Bits8}},
    {"smbios.bios.extension2", {K::Bits8}},
    {"smbios.bios.biosMajor", {K::Bits8}},
    {"smbios.bios.biosMinor", {K::Bits8}},
    {"smbios.bios.controllerMajor", {K::Bits8}},
    {"smbios.bios.controllerMinor", {K::Bits8}},
    {"smbios.bios.extendedRomSize", {K::Bits16}},
    {"smbios.system.wakeUpType", {K::Bits8}},
    {"smbios.baseBoard.features", {K::Bits8}},
    {"smbios.baseBoard.boardType", {K::Bits8}},
    {"smbios.chassis.type", {K::Bits8}},
    {"smbios.chassis.oem", {K::Bits32}},
    {"smbios.chassis.height", {K::Bits8}},
    {"smbios.processor.family", {K::Bits8}},
    {"smbios.processor.voltage", {K::Bits8}},
    {"smbios.processor.externalClock", {K::Bits16}},
    {"smbios.processor.maxSpeed", {K::Bits16}},
    {"smbios.processor.upgrade", {K::Bits8}},
    // PciBus.cpp: the words of each function's configuration header.
    {"pci.ecam.base", {K::Bits64}},
    {"pci.functions.*.vendor", {K::Bits16}},
    {"pci.functions.*.device", {K::Bits16}},
    {"pci.functions.*.command", {K::Bits16}},
    {"pci.functions.*.status", {K::Bits16}},
    {"pci.functions.*.revision", {K::Bits8}},
    {"pci.functions.*.class", {K::Bits32}},
    {"pci.functions.*.headerType", {K::Bits8}},
    {"pci.functions.*.bars.*", {K::Bits32}},
    {"pci.functions.*.subsystem", {K::Bits32}},
    {"pci.functions.*.config.*", {K::Bits32}},
    // VykAcpi.cpp, CmosItems.cpp
    {"vykAcpi.version", {K::Bits32}},
    {"vykAcpi.commands.*", {K::Bits32}},
    {"vykAcpi.initStatus", {K::Bits32}},
    {"vykAcpi.igpMode", {K::Integer}},
    {"vykAcpi.engineClockOverride", {K::Bits32}},
    {"vykAcpi.values.*", {K::Integer}},
    {"vykAcpi.info.*.*", {K::Bits32}},
    {"vykAcpi.dvalues.*.*", {K::Integer}},
    {"vykAcpi.objects.*.id", {K::Bits32}},
    {"vykAcpi.objects.*.property", {K::Bits32}},
    {"vykAcpi.functionIds.*", {K::Bits32}},
    {"vykAcpi.zones.status", {K::Integer}},
    {"vykAcpi.zones.modes.*", {K::Integer}},
    {"vykAcpi.thermal.*.zone", {K::Integer}},
    {"vykAcpi.thermal.*.temperature", {K::Integer}},
    {"vykAcpi.thermal.*.fanRpm", {K::Integer}},
    {"vykAcpi.cmosItems.*.rules.*.*", {K::Bits8}},
    {"vykAcpi.cmosItems.*.value", {K::Bits8}},
    // PhysicalMemory.cpp
    {"memory.regions.*.base", {K::Bits64}},
    {"memory.regions.*.fill", {K::Bits8}},
    {"memory.pool.base", {K::Bits64}},
    // StabilityModel.cpp
    {"stability.coreMHz", {K::Real}},
    {"stability.referenceVolts", {K::Real}},
    {"stability.referenceTemperature", {K::Real}},
    {"stability.mhzPerVolt", {K::Real}},
    {"stability.mhzPerDegree", {K::Real}},
    {"stability.errorsPerExcess", {K::Real}},
    {"stability.hangExcess", {K::Real}},
    {"stability.northBridgeMHz", {K::Real}},
    {"stability.memoryMHz", {K::Real}},
    {"stability.seed", {K::Bits64}},
    // NorthBridgeClocks.cpp, GraphicsChip.cpp, DiskClass.cpp, UsbBus.cpp, Smbus.cpp
    {"northBridgeClocks.handshakePolls", {K::Bits32}},
    {"northBridgeClocks.registers.*", {K::Bits32}},
    {"graphics.gpu", {K::Bits32}},
    {"graphics.referenceClock", {K::Bits32}},
    {"graphics.counterSettleReads", {K::Bits32}},
    {"graphics.registers.*", {K::Bits32}},
    {"graphics.videoBios", {K::Bits64}},
    {"graphics.omitTables.*", {K::Integer}},
    {"diskClass.devices.*.uiNumber", {K::Bits32}},
    {"diskClass.devices.*.enumError", {K::Bits32}},
    {"diskClass.devices.*.hardwareIdError", {K::Bits32}},
    {"diskClass.devices.*.uiNumberError", {K::Bits32}},
    {"usb.devices.*.controller", {K::Integer}},
    {"smbus.base", {K::Bits64}},
    {"smbus.busyReads", {K::Bits32}},
    {"smbus.devices.*.address", {K::Bits8}},
    // DeviceBoardLoad.cpp: the processor device. A usage of "host" follows this computer.
    {"devices.cpu.currentPstate", {K::Integer}},
    {"devices.cpu.startMultiplier", {K::Real}},
    {"devices.cpu.maxMultiplier", {K::Real}},
    {"devices.cpu.vid", {K::Real}},
    {"devices.cpu.nbVid", {K::Real}},
    {"devices.cpu.minVoltage", {K::Real}},
    {"devices.cpu.maxVoltage", {K::Real}},
    {"devices.cpu.startVoltage", {K::Real}},
    {"devices.cpu.maxRampVoltage", {K::Real}},
    {"devices.cpu.nbMultiplier", {K::Real}},
    {"devices.cpu.maxFrequencyHz", {K::Real}},
    {"devices.cpu.temperature", {K::Real}},
    {"devices.cpu.usage", {K::Real, "host"}},
    {"devices.cpu.usage.*", {K::Real}},
    {"devices.cpu.temperaturePair.*", {K::Real}},
    {"devices.cpu.caches.l1d.*", {K::Real}},
    {"devices.cpu.caches.l1i.*", {K::Real}},
    {"devices.cpu.caches.l2.*", {K::Real}},
    {"devices.cpu.caches.l3.*", {K::Real}},
    {"devices.cpu.missingInstructions.*", {K::Integer}},
    {"devices.cpu.pstates.*.fid", {K::Integer}},
    {"devices.cpu.pstates.*.did", {K::Integer}},
    {"devices.cpu.pstates.*.vid", {K::Integer}},
    {"devices.cpu.pstates.*.nbDid", {K::Integer}},
    {"devices.cpu.pstates.*.nbVid", {K::Integer}},
    {"devices.cpu.pstates.*.idd", {K::Integer}},
    {"devices.cpu.pstates.*.iddDiv", {K::Integer}},
    {"devices.cpu.boost.*", {K::Real}},
    // The links, bridges, sensors and graphics chips.
    {"devices.htLink.links.*.width", {K::Real}},
    {"devices.htLink.links.*.maxWidth", {K::Real}},
    {"devices.htLink.links.*.multiplier", {K::Real}},
    {"devices.htLink.links.*.maxMultiplier", {K::Real}},
    {"devices.htLink.links.*.revision.*", {K::Bits32}},
    {"devices.northBridge.maxHTMultiplier", {K::Real}},
    {"devices.southBridge.fans.*", {K::Real}},
    {"devices.southBridge.temperatures.*", {K::Real}},
    {"devices.southBridge.voltages.*", {K::Real}},
    {"devices.southBridge.keepAliveTimeoutMs", {K::Real}},
    {"devices.sensorChip.fans.*.mode", {K::Integer}},
    {"devices.sensorChip.fans.*.percent", {K::Integer}},
    {"devices.sensorChip.fans.*.maxRpm", {K::Integer}},
    {"devices.sensorChip.temperatures.*", {K::Real}},
    {"devices.sensorChip.voltages.*", {K::Real}},
    {"devices.gpus.*.levels.*.*", {K::Real}},
    {"devices.gpus.*.currentLevel", {K::Bits32}},
    {"devices.gpus.*.sensors", {K::Bits32}},
    {"devices.gpus.*.fanPercent", {K::Real}},
    {"devices.gpus.*.temperature", {K::Real}},
    {"devices.gpus.*.usage", {K::Real}},
    {"devices.gpus.*.busSpeed", {K::Real}},
    {"devices.gpus.*.busLanes", {K::Real}},
    {"devices.gpus.*.maxBusLanes", {K::Real}},
    {"devices.gpus.*.powerState", {K::Integer}},
    {"devices.gpus.*.memoryBits", {K::Real}},
    {"devices.memoryController.type", {K::Integer}},
    {"devices.memoryController.memClk", {K::Real}},
    {"devices.memoryController.fields.*", {K::Real}},
    {"devices.memoryController.lists.*.*", {K::Real}},
    // InventoryLoad.cpp
    {"devices.memoryModules.*.slot", {K::Integer}},
    {"devices.memoryModules.*.spdAddress", {K::Bits8}},
    {"devices.monitors.*.width", {K::Real}},
    {"devices.monitors.*.height", {K::Real}},
    {"devices.monitors.*.refresh", {K::Real}},
    {"devices.monitors.*.dpiX", {K::Real}},
    {"devices.monitors.*.dpiY", {K::Real}},
    {"devices.disks.*.channel", {K::Integer}},
    {"devices.disks.*.sataGeneration", {K::Integer}},
    {"devices.disks.*.queueDepth", {K::Integer}},
    {"devices.disks.*.ataVersion", {K::Integer}},
    {"devices.disks.*.ataMinor", {K::Integer}},
    {"devices.disks.*.bufferKB", {K::Integer}},
    {"devices.opticalDrives.*.channel", {K::Integer}},
};

// The devices whose entries carry an identity (BoardJson.cpp: ReadIdentity), each
// number of it cut to 32 bits.
const char* const kIdentified[] = {
    "devices.cpu", "devices.htLink", "devices.northBridge", "devices.southBridge", "devices.clockGenerator",
    "devices.pwm", "devices.pwm2", "devices.sensorChip", "devices.gpus.*", "devices.memoryController",
    "devices.bios", "devices.monitors.*", "devices.audio.*", "devices.sataController", "devices.ideController",
    "devices.disks.*", "devices.opticalDrives.*", "devices.usbControllers.*",
};
const char* const kIdentity[] = {"vendorId", "deviceId", "revision", "bus", "device", "function"};

// Settable values (DeviceBoardLoad.cpp: ReadClock and ReadRail), all doubles.
const char* const kSettable[] = {
    "devices.gpus.*.engineClock", "devices.gpus.*.memoryClock", "devices.gpus.*.coreVoltage",
    "devices.gpus.*.sidePortClock", "devices.clockGenerator.htRef", "devices.clockGenerator.pcie",
    "devices.clockGenerator.sb", "devices.pwm.rails.MemVDDQ", "devices.pwm.rails.MemVTT",
    "devices.pwm.rails.CPUVDDC", "devices.pwm.rails.NBCoreVol", "devices.pwm.rails.NBPCIEVol",
    "devices.pwm.rails.CPUHTVol", "devices.pwm2.channels.*",
};
const char* const kSettableValues[] = {"default", "value", "min", "max", "step", "list.*"};

// Objects whose keys are data rather than names, and the kind of number each key is.
const struct Map {
    const char* path;
    bool bNumberKeys;
    NumberKind keyKind;
} kMaps[] = {
    {"processor.cpuid", true, K::Bits32},
    {"processor.msr", true, K::Bits32},
    {"pci.functions.*.config", true, K::Bits32},
    {"memory.regions.*.data", true, K::Bits64},
    {"graphics.registers", true, K::Bits32},
    {"northBridgeClocks.registers", true, K::Bits32},
    {"vykAcpi.values", true, K::Bits32},
    {"vykAcpi.info", true, K::Bits32},
    {"vykAcpi.dvalues", true, K::Bits32},
    {"devices.memoryController.fields", false, K::Real},
    {"devices.memoryController.lists", false, K::Real},
    // Not the disks' IDENTIFY words: their reader names each one it cannot use.
};

std::map<QString, NumberRule> MakeRules()
{
    std::map<QString, NumberRule> rules;
    for (const Field& field : kFields)
        rules.emplace(QString::fromLatin1(field.path), field.rule);
    for (const char* device : kIdentified)
        for (const char* number : kIdentity)
            rules.emplace(QStringLiteral("%1.%2").arg(QLatin1String(device), QLatin1String(number)), NumberRule{K::Bits32});
    for (const char* settable : kSettable)
        for (const char* number : kSettableValues)
            rules.emplace(QStringLiteral("%1.%2").arg(QLatin1String(settable), QLatin1String(number)), NumberRule{K::Real});
    return rules;
}

// The largest value of an unsigned kind.
unsigned long long MaxOf(NumberKind kind)
{
    switch (kind) {
    case K::Bits8: return 0xFF;
    case K::Bits16: return 0xFFFF;
    case K::Bits32: return 0xFFFFFFFF;
    default: return std::numeric_limits<unsigned long long>::max();
    }
}

// A whole number from 0 to max, as a number or as its text (decimal, or hex after "0x").
bool IsUnsigned(const QJsonValue& value, unsigned long long max)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        // Below max + 1 as a double: 2^64 for 64 bits, where max itself rounds up to it.
        return number >= 0 && number == std::trunc(number) && number < static_cast<double>(max) + 1.0;
    }
    if (!value.isString())
        return false;
    bool ok = false;
    const unsigned long long number = value.toString().trimmed().toULongLong(&ok, 0);
    return ok && number <= max;
}

// How a message names a whole number from 0 to max.
QString WholeText(unsigned long long max) { return QStringLiteral("a whole number from 0 to %1").arg(max); }

} // namespace

const NumberRule* NumberRuleAt(const QString& pattern)
{
    static const std::map<QString, NumberRule> rules = MakeRules();
    const auto it = rules.find(pattern);
    return it == rules.end() ? nullptr : &it->second;
}

bool IsNumberMap(const QString& pattern, const NumberKind** ppKeyKind)
{
    for (const Map& map : kMaps)
        if (pattern == QLatin1String(map.path)) {
            *ppKeyKind = map.bNumberKeys ? &map.keyKind : nullptr;
            return true;
        }
    return false;
}

bool IsOfKind(NumberKind kind, const QJsonValue& value)
{
    if (value.isNull())
        return true;
    switch (kind) {
    case K::Integer: {
        const double number = value.toDouble(0.5);
        return value.isDouble() && number == std::trunc(number) && number >= std::numeric_limits<int>::min()
            && number <= std::numeric_limits<int>::max();
    }
    case K::Real:
        return value.isDouble();
    default:
        return IsUnsigned(value, MaxOf(kind));
    }
}

bool IsWholeUpTo(double max, const QJsonValue& value)
{
    return value.isNull() || IsUnsigned(value, static_cast<unsigned long long>(max));
}

QString KindText(NumberKind kind)
{
    switch (kind) {
    case K::Integer: return QStringLiteral("a whole number from -2147483648 to 2147483647");
    case K::Real: return QStringLiteral("a number");
    default: return WholeText(MaxOf(kind));
    }
}

QString WholeUpToText(double max) { return WholeText(static_cast<unsigned long long>(max)); }

QString NumberText(double value)
{
    return value == std::trunc(value) ? QString::number(value, 'f', 0)
                                      : QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString ShownValue(const QJsonValue& value)
{
    switch (value.type()) {
    case QJsonValue::String: return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    case QJsonValue::Bool: return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Array: return QStringLiteral("a list");
    case QJsonValue::Object: return QStringLiteral("an object");
    case QJsonValue::Double: {
        // A whole number in full, as the file gives it; others as short as they read.
        const QVariant held = value.toVariant();
        if (held.typeId() == QMetaType::LongLong)
            return QString::number(held.toLongLong());
        return NumberText(value.toDouble());
    }
    default: return QStringLiteral("nothing");
    }
}

} // namespace vb
