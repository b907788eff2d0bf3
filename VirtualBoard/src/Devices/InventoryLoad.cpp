// The inventory part of the board file's "devices" section:
//
//   "memoryModules": [ { "slot": 0, "spdAddress": "0x50", "capacityMB": 1024 } ],
//   "bios": { "name": "System BIOS" },            vendor, version, date: the SMBIOS BIOS record
//   "monitors": [ { "name": ..., "edid": "00 FF FF ...", "width": 1280, "height": 1024,
//                   "refresh": 60, "dpiX": 96, "dpiY": 96 } ],
//   "audio": [ { "pci": "00:14.2", "name": ..., "driverFile": ..., "driverDate": ... } ],
//   "sataController": { "pci": "00:11.0", "channels": 4 },   "ideController": { ... },
//   "disks": [ { "controller": "sata", "channel": 0, "model": ..., "serial": ..., "firmware": ...,
//                "sectors": ..., "interface": "SATA", "sataGeneration": 2, "queueDepth": 32,
//                "ataVersion": 8, "ataMinor": 0, "bufferKB": 16384, "removable": false,
//                "dma": true, "lba": true, "security": { "supported": true, "enabled": false,
//                "locked": false, "frozen": true, "countExpired": false, "enhanced": false },
//                "identify": true, "corruptIdentify": false,
//                "identifyWords": { "21": 65535 } } ],       IDENTIFY words 0-254 answered as given
//   "opticalDrives": [ { "controller": "ide", "channel": 0, "name": ... } ],
//   "usbControllers": [ { "pci": "00:12.0", "name": ... } ]
//
// Every entry also takes the common "name", "description", "vendor" and "class".
// The USB devices themselves sit on the bus ("usb" section, UsbBus.h).
#include "InventoryLoad.h"

#include <QJsonArray>

#include <cstring>

#include "BoardJson.h"
#include "Formats/SmbiosStructures.h"
#include "VirtualBoard/Devices/AtaIdentify.h"
#include "VirtualBoard/Firmware/FirmwareTables.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/PhysicalMemory.h"

namespace vb {

namespace {

using json::Key;
using json::Num;
using json::Text;

bool Flag(const QJsonObject& o, const char* key, bool fallback) { return o.value(Key(key)).toBool(fallback); }

// Type 0 of the SMBIOS structure table: vendor, version and release date. As for
// every reader of the table, the last type-0 structure counts.
void ReadSmbiosBios(Machine& machine, BiosState& bios)
{
    for (const FirmwareBlob& blob : machine.Get<FirmwareTables>().Blobs()) {
        if (std::strcmp(blob.what, "SMBIOS table") != 0)
            continue;
        const auto* table = reinterpret_cast<const uint8_t*>(blob.bytes.constData());
        smbios::Walk(table, static_cast<uint32_t>(blob.bytes.size()), [&](const smbios::Structure& s) {
            if (s.Type() == 0) {
                const auto text = [&](uint32_t offset) {
                    const char* t = s.String(offset);
                    return std::string(t ? t : "");
                };
                bios.id.vendor = text(0x04);
                bios.version = text(0x05);
                bios.date = text(0x08);
            }
            return true;
        });
    }
}

void ReadDrive(const QJsonObject& o, DriveDef& d, const char* name, const char* className)
{
    json::ReadIdentity(o, d.id, true, name, className);
    d.port = o.value(Key("controller")).toString() == QLatin1String("ide") ? StoragePort::Ide : StoragePort::Sata;
    d.channel = static_cast<int>(Num(o, "channel", 0));
}

DiskDef ReadDisk(const QJsonObject& o)
{
    AtaDrive a;
    a.model = Text(o, "model", "Vyk Disk");
    a.serial = Text(o, "serial");
    a.firmware = Text(o, "firmware");
    a.sectors = static_cast<uint64_t>(Num(o, "sectors", 0));
    a.sataGeneration = static_cast<int>(Num(o, "sataGeneration", 0));
    a.queueDepth = static_cast<int>(Num(o, "queueDepth", 1));
    a.ataMajor = static_cast<int>(Num(o, "ataVersion", 7));
    a.ataMinor = static_cast<int>(Num(o, "ataMinor", 0));
    a.bufferKB = static_cast<int>(Num(o, "bufferKB", 0));
    a.removable = Flag(o, "removable", false);
    a.dma = Flag(o, "dma", true);
    a.lba = Flag(o, "lba", true);
    const QJsonObject s = o.value(Key("security")).toObject();
    a.securitySupported = Flag(s, "supported", false);
    a.securityEnabled = Flag(s, "enabled", false);
    a.securityLocked = Flag(s, "locked", false);
    a.securityFrozen = Flag(s, "frozen", false);
    a.securityCountExpired = Flag(s, "countExpired", false);
    a.securityEnhanced = Flag(s, "enhanced", false);
    const QJsonObject words = o.value(Key("identifyWords")).toObject();
    for (auto it = words.begin(); it != words.end(); ++it) {
        bool bIndex = false;
        const int index = it.key().toInt(&bIndex);
        const double word = it.value().toDouble(-1);
        if (bIndex && index >= 0 && index < 255 && word >= 0 && word <= 0xFFFF && word == static_cast<int>(word))
            a.words[index] = static_cast<uint16_t>(word);
        else
            Report(rtError, "VirtualBoard: disk \"%s\": IDENTIFY word \"%s\": the words are 0 to 254, each 0 to 65535",
                   a.model.c_str(), qPrintable(it.key()));
    }

    DiskDef d;
    ReadDrive(o, d, a.model.c_str(), "Disk Drive");
    d.id.description = Text(o, "description", "Disk drive");
    d.interfaceType = Text(o, "interface", a.sataGeneration > 0 ? "SATA" : "IDE");
    d.sectors = static_cast<double>(a.sectors);
    d.identifies = Flag(o, "identify", true);
    d.identify = BuildIdentify(a);
    if (Flag(o, "corruptIdentify", false))
        d.identify[255] ^= 0x0100;   // the integrity byte no longer sums to 0
    return d;
}

} // namespace

void LoadInventory(Machine& machine, const QJsonObject& d, InventoryState& inv)
{
    for (const QJsonValue& v : d.value(Key("memoryModules")).toArray()) {
        const QJsonObject o = v.toObject();
        MemoryModuleDef m;
        m.slot = static_cast<int>(Num(o, "slot", 0));
        m.spdAddress = static_cast<uint8_t>(Num(o, "spdAddress", 0x50 + m.slot));
        m.capacity = Num(o, "capacityMB", 0) * 1024 * 1024;
        if (m.slot >= 0 && m.slot < 4)
            inv.modules.push_back(m);
        else
            Report(rtError, "VirtualBoard: memory module in slot %d: there are slots 0 to 3", m.slot);
    }

    const QJsonObject bios = d.value(Key("bios")).toObject();
    json::ReadIdentity(bios, inv.bios.id, true, "System BIOS", "System BIOS");
    if (inv.bios.id.present)
        ReadSmbiosBios(machine, inv.bios);

    for (const QJsonValue& v : d.value(Key("monitors")).toArray()) {
        const QJsonObject o = v.toObject();
        MonitorDef m;
        json::ReadIdentity(o, m.id, true, "", "Plug and Play Monitor");
        // Name and maker the board file leaves out are the monitor's own (its EDID).
        m.id.description = Text(o, "description", "Plug and Play Monitor");
        if (!o.contains(Key("vendor")))
            m.id.vendor.clear();
        if (!ParseHexBytes(o.value(Key("edid")).toString(), &m.edid))
            m.edid.clear();
        m.width = Num(o, "width", 0);
        m.height = Num(o, "height", 0);
        m.refresh = Num(o, "refresh", 0);
        m.dpiX = Num(o, "dpiX", 96);
        m.dpiY = Num(o, "dpiY", 96);
        inv.monitors.push_back(m);
    }

    for (const QJsonValue& v : d.value(Key("audio")).toArray()) {
        const QJsonObject o = v.toObject();
        AudioDef a;
        json::ReadIdentity(o, a.id, true, "High Definition Audio Device", "High Definition Audio", &machine);
        a.driverFile = Text(o, "driverFile");
        a.driverDate = Text(o, "driverDate");
        inv.audio.push_back(a);
    }

    const QJsonObject sata = d.value(Key("sataController")).toObject();
    json::ReadIdentity(sata, inv.sata.id, true, "SATA Controller", "SATA AHCI Controller", &machine);
    inv.sata.channels = static_cast<int>(Num(sata, "channels", 4));
    const QJsonObject ide = d.value(Key("ideController")).toObject();
    json::ReadIdentity(ide, inv.ide.id, true, "IDE Controller", "IDE Controller", &machine);
    inv.ide.channels = static_cast<int>(Num(ide, "channels", 2));

    for (const QJsonValue& v : d.value(Key("disks")).toArray())
        inv.disks.push_back(ReadDisk(v.toObject()));
    for (const QJsonValue& v : d.value(Key("opticalDrives")).toArray()) {
        DriveDef drive;
        ReadDrive(v.toObject(), drive, "CD/DVD Drive", "CD/DVD Drive");
        inv.opticalDrives.push_back(drive);
    }

    for (const QJsonValue& v : d.value(Key("usbControllers")).toArray()) {
        DeviceIdentity id;
        json::ReadIdentity(v.toObject(), id, true, "USB Host Controller", "USB Host Controller", &machine);
        inv.usbControllers.push_back(id);
    }
}

std::vector<UsbDeviceDef> UsbDevicesOf(const std::vector<UsbDevice>& attached)
{
    std::vector<UsbDeviceDef> out;
    for (const UsbDevice& u : attached) {
        UsbDeviceDef d;
        d.kind = u.kind;
        d.controller = u.controller;
        d.id.present = true;
        d.id.name = u.name.toStdString();
        d.id.description = u.description.toStdString();
        d.id.vendor = u.vendor.toStdString();
        d.id.className = u.kind == UsbKind::Mouse      ? "USB Mouse"
                         : u.kind == UsbKind::Keyboard ? "USB Keyboard"
                         : u.kind == UsbKind::Optical  ? "CD/DVD Drive"
                                                       : "USB Mass Storage";
        out.push_back(d);
    }
    return out;
}

} // namespace vb
