// Firmware, monitor, audio, disks and the controllers: each agrees with the other
// views of the same hardware (SMBIOS, the PCI list, the drive's IDENTIFY data).
#include <QJsonArray>

#include <cmath>
#include <limits>
#include <utility>

#include "Engine/DriverHandler.h"
#include "Engine/SMBIOS.h"
#include "QvxTestSupport.h"
#include "support/BoardEdits.h"
#include "support/LogCapture.h"
#include "support/SmbiosImage.h"

namespace {

using test::QvxTest;
using test::Str;

// The default board with one entry of its "devices" section changed.
void LoadWithDevice(const char* key, const QJsonValue& value)
{
    QJsonObject devices = test::DefaultBoard().value("devices").toObject();
    devices.insert(QLatin1String(key), value);
    ASSERT_TRUE(test::LoadDefaultBoardWith({{"devices", devices}}));
}

QJsonObject DefaultDevice(const char* key, int i = -1)
{
    const QJsonValue v = test::DefaultBoard().value("devices").toObject().value(QLatin1String(key));
    return i < 0 ? v.toObject() : v.toArray().at(i).toObject();
}

TEST_F(QvxTest, BiosIsTheSmbiosBiosRecord)
{
    for (bool edited : {false, true}) {
        SCOPED_TRACE(edited);
        if (edited) {
            g_DeviceManager.UnInit();
            QJsonObject smbios = test::DefaultBoard().value("smbios").toObject();
            smbios.insert("bios", QJsonObject{{"vendor", "Other Firmware Ltd."}, {"version", "X 1.0"},
                                             {"releaseDate", "12/31/2010"}});
            ASSERT_TRUE(test::LoadDefaultBoardWith({{"smbios", smbios}}));
            ASSERT_TRUE(g_DeviceManager.Init("test"));
        }
        ASSERT_TRUE(g_DriverHandler.Init());
        CSMBIOS smbios;
        ASSERT_TRUE(smbios.Init());
        IBIOSDevice* bios = Bios();
        ASSERT_NE(bios, nullptr);
        EXPECT_EQ(Str(bios->GetVendor()), QString::fromLatin1(smbios.GetBIOSInfo().szVendor));
        EXPECT_EQ(Str(bios->GetVersion()), QString::fromLatin1(smbios.GetBIOSInfo().szVersion));
        EXPECT_EQ(Str(bios->GetDate()), QString::fromLatin1(smbios.GetBIOSInfo().szReleaseDate));
        EXPECT_EQ(Str(bios->GetVersion()), edited ? QStringLiteral("X 1.0") : QStringLiteral("VV 2.10"));
        EXPECT_EQ(Str(bios->GetName()), QStringLiteral("System BIOS"));
        g_DriverHandler.UnInit();
    }
}

TEST_F(QvxTest, BiosRecordWhereverTheTableHoldsIt)
{
    using test::smbios::Structure;
    const QByteArray bios = Structure(0, 0x18, {{0x04, 1}, {0x05, 2}, {0x08, 3}},
                                      {"Neutral Firmware", "NF 1.07", "05/14/2010"});
    const QByteArray system = Structure(1, 0x1B, {{0x04, 1}, {0x05, 2}}, {"Neutral Systems", "Model 7"});
    const QByteArray cache = Structure(7, 0x13, {{0x04, 1}}, {"L1 Cache"});
    const QByteArray boot = Structure(32, 0x0B, {});   // no strings: two NULs at once
    const QByteArray end = Structure(127, 4, {});
    const struct {
        const char* name;
        QByteArray table;
    } cases[] = {
        {"first", bios + system + end},
        {"after a structure without strings", boot + bios + end},
        {"after the system structure", system + bios + end},
        {"after a cache structure", cache + system + bios + end},
    };
    ASSERT_TRUE(g_DriverHandler.Init());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_DeviceManager.UnInit();
        ASSERT_TRUE(test::LoadDefaultBoardWith({{"smbios", test::smbios::Section(c.table)}}));
        ASSERT_TRUE(g_DeviceManager.Init("test"));
        EXPECT_EQ(Str(Bios()->GetVendor()), QStringLiteral("Neutral Firmware"));
        EXPECT_EQ(Str(Bios()->GetVersion()), QStringLiteral("NF 1.07"));
        EXPECT_EQ(Str(Bios()->GetDate()), QStringLiteral("05/14/2010"));
        // The Engine's reader of the same table agrees.
        CSMBIOS smbios;
        ASSERT_TRUE(smbios.Init());
        EXPECT_STREQ(smbios.GetBIOSInfo().szVendor, "Neutral Firmware");
        EXPECT_STREQ(smbios.GetBIOSInfo().szVersion, "NF 1.07");
    }
    g_DriverHandler.UnInit();
}

TEST_F(QvxTest, MonitorFromItsEdid)
{
    IMonitorDevice* m = Monitor();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(Str(m->GetName()), QStringLiteral("Vyk VV1900"));   // the EDID's monitor name
    EXPECT_EQ(Str(m->GetVendor()), QStringLiteral("VYK"));        // and maker code
    EXPECT_EQ(m->GetScreenWidth(), 1280);
    EXPECT_EQ(m->GetScreenHeight(), 1024);
    EXPECT_EQ(m->GetMaxWidth(), 1280);
    EXPECT_EQ(m->GetMaxHeight(), 1024);
    EXPECT_EQ(m->GetRefreshRate(), 60);
    EXPECT_EQ(m->GetPixelsPerXLogicalInch(), 96);
    EXPECT_EQ(m->GetPixelsPerYLogicalInch(), 96);

    // A lower mode set: the maximum stays the monitor's native mode.
    QJsonObject entry = DefaultDevice("monitors", 0);
    entry.insert("width", 1024);
    entry.insert("height", 768);
    entry.insert("refresh", 75);
    entry.insert("dpiX", 120);
    g_DeviceManager.UnInit();
    LoadWithDevice("monitors", QJsonArray{entry});
    ASSERT_TRUE(g_DeviceManager.Init("test"));
    EXPECT_EQ(Monitor()->GetScreenWidth(), 1024);
    EXPECT_EQ(Monitor()->GetRefreshRate(), 75);
    EXPECT_EQ(Monitor()->GetMaxWidth(), 1280);
    EXPECT_EQ(Monitor()->GetPixelsPerXLogicalInch(), 120);

    // No mode: the EDID's preferred one. A damaged EDID: a generic name, no maker.
    for (bool damaged : {false, true}) {
        QJsonObject bare{{"edid", entry.value("edid")}};
        if (damaged)
            bare.insert("edid", entry.value("edid").toString().replace(0, 2, "01"));
        g_DeviceManager.UnInit();
        LoadWithDevice("monitors", QJsonArray{bare});
        ASSERT_TRUE(g_DeviceManager.Init("test"));
        EXPECT_EQ(Monitor()->GetScreenWidth(), damaged ? 0 : 1280) << damaged;
        EXPECT_EQ(Monitor()->GetRefreshRate(), damaged ? 0 : 60) << damaged;
        EXPECT_EQ(Str(Monitor()->GetName()), damaged ? QStringLiteral("Generic Monitor") : QStringLiteral("Vyk VV1900"));
        EXPECT_EQ(Str(Monitor()->GetVendor()), damaged ? QString() : QStringLiteral("VYK"));
    }
}

// The default monitor's EDID with another first detailed timing (its preferred mode).
QString EdidWithTiming(const QByteArray& timing)
{
    QByteArray edid = QByteArray::fromHex(DefaultDevice("monitors", 0).value("edid").toString().toLatin1());
    edid.replace(54, 18, timing);
    uint8_t sum = 0;
    for (int i = 0; i < 127; ++i)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(edid[i]));
    edid[127] = static_cast<char>(static_cast<uint8_t>(0x100 - sum));
    return QString::fromLatin1(edid.toHex(' '));
}

TEST_F(QvxTest, MonitorModeFromThePreferredTiming)
{
    const struct {
        const char* name;
        QString edid;
        double width, height, refresh;
    } cases[] = {
        {"progressive", DefaultDevice("monitors", 0).value("edid").toString(), 1280, 1024, 60},
        // 1920x1080 interlaced, 74.25 MHz: each field holds 540 of the frame's lines.
        {"interlaced", EdidWithTiming(QByteArray::fromHex("011d8018711c1620582c250010090000009e")), 1920, 1080,
         60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_DeviceManager.UnInit();
        LoadWithDevice("monitors", QJsonArray{QJsonObject{{"edid", c.edid}}});
        ASSERT_TRUE(g_DeviceManager.Init("test"));
        EXPECT_EQ(Str(Monitor()->GetName()), QStringLiteral("Vyk VV1900"));   // the EDID was taken
        EXPECT_EQ(Monitor()->GetScreenWidth(), c.width);
        EXPECT_EQ(Monitor()->GetScreenHeight(), c.height);
        EXPECT_EQ(Monitor()->GetMaxHeight(), c.height);
        EXPECT_EQ(Monitor()->GetRefreshRate(), c.refresh);
    }
}

TEST_F(QvxTest, AudioDevice)
{
    IAudioDevice* a = Audio();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(Str(a->GetName()), QStringLiteral("Vyk High Definition Audio"));
    EXPECT_EQ(Str(a->GetVendor()), QStringLiteral("Vyk"));
    EXPECT_EQ(Str(a->GetDriverFile()), QStringLiteral("vykhdaud.sys"));
    EXPECT_EQ(Str(a->GetDriverDate()), QStringLiteral("6/21/2009"));
    EXPECT_EQ(Audio(), QvxGetDevice<IAudioDevice>(dtAudio, 0));
    EXPECT_EQ(g_DeviceManager.GetDevice(dtAudio, 1), nullptr);
}

TEST_F(QvxTest, DiskRecordFromItsIdentifyData)
{
    IHardDiskDevice* disk = Disk();
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(Str(disk->GetName()), QStringLiteral("VYK HD500S ATA Device"));
    EXPECT_EQ(Str(disk->GetInterfaceType()), QStringLiteral("SATA"));
    EXPECT_EQ(disk->GetCapacity(), 976773168.0 * 512);
    EXPECT_EQ(disk->GetSectorSize(), 512);
    const DISK_INFO* info = disk->GetDiskInfo();
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->szModelNumber, "VYK HD500S");   // the disk the setup classes list
    EXPECT_STREQ(info->szSerialNumber, "VD5S0001234567");
    EXPECT_STREQ(info->szFirmwareRevision, "1.00");
    EXPECT_EQ(info->bRemovable, 0);
    EXPECT_EQ(info->bDMA, 1);
    EXPECT_EQ(info->bLBA, 1);
    EXPECT_EQ(info->bSATA, 1);
    EXPECT_EQ(info->dSATAGeneration, 2);
    EXPECT_EQ(info->dSectorTotal, 976773168);        // past 2^28: the 48-bit count
    EXPECT_EQ(info->dMaxQueueDepth, 32);
    EXPECT_EQ(info->dATAVersion, 8);
    EXPECT_EQ(info->dBufferSizeKB, 16384);
    const uint8_t security[6] = {info->bSecuritySupported, info->bSecurityEnabled, info->bSecurityLocked,
                                 info->bSecurityFrozen, info->bSecurityCountExpired, info->bSecurityEnhanced};
    const uint8_t expected[6] = {1, 0, 0, 1, 0, 1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(security[i], expected[i]) << i;
}

TEST_F(QvxTest, DisksOfOtherKindsAndWithoutARecord)
{
    struct Case {
        const char* what;
        QJsonObject change;
        bool record;
        double sectors, generation;
        const char* interfaceType;
        // The record's fields, where there is one: SATA, removable, queue depth, buffer
        // size in KB, security supported, ATA version. 0 stands for a value the drive
        // did not report.
        bool sata = false, removable = true;
        double queue = 1, bufferKB = 16384;
        bool security = true;
        double ataVersion = 8;
    };
    const auto words = [](std::initializer_list<std::pair<const char*, int>> list) {
        QJsonObject o;
        for (const auto& [index, word] : list)
            o.insert(QLatin1String(index), word);
        return QJsonObject{{"identifyWords", o}};
    };
    const double k28Bit = 0x0FFFFFFF;   // the most sectors a 28-bit count holds
    const double kUnknown = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"parallel ATA, removable, small", {{"sataGeneration", 0}, {"sectors", 1000000}, {"removable", true},
                                            {"queueDepth", 1}, {"interface", QJsonValue()}}, true, 1000000, 0, "IDE"},
        // Without IDENTIFY data the drive has told no size.
        {"no IDENTIFY data", {{"identify", false}}, false, kUnknown, 0, "SATA"},
        {"damaged IDENTIFY data", {{"corruptIdentify", true}}, false, kUnknown, 0, "SATA"},
        // A word of all ones reports nothing: not 32767.5 KB of buffer, a queue 32
        // deep, every security state, or a 64-bit sector count read from words 100-103.
        {"buffer word all ones", words({{"21", 0xFFFF}}), true, 976773168, 2, "SATA", true, false, 32, 0},
        {"queue word all ones", words({{"75", 0xFFFF}}), true, 976773168, 2, "SATA", true, false, 0},
        {"command-set word all ones", words({{"83", 0xFFFF}, {"100", 0xFFFF}, {"101", 0xFFFF}, {"102", 0xFFFF},
                                             {"103", 0xFFFF}}), true, k28Bit, 2, "SATA", true, false, 32},
        {"security word all ones", words({{"128", 0xFFFF}}), true, 976773168, 2, "SATA", true, false, 32, 16384,
         false},
        {"SATA and version words all ones", words({{"76", 0xFFFF}, {"80", 0xFFFF}}), true, 976773168, 0, "SATA",
         false, false, 32, 16384, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QJsonObject disk = DefaultDevice("disks", 0);
        for (auto it = c.change.begin(); it != c.change.end(); ++it) {
            if (it.value().isNull())
                disk.remove(it.key());
            else
                disk.insert(it.key(), it.value());
        }
        g_DeviceManager.UnInit();
        LoadWithDevice("disks", QJsonArray{disk});
        ASSERT_TRUE(g_DeviceManager.Init("test"));
        if (std::isnan(c.sectors))
            EXPECT_TRUE(std::isnan(Disk()->GetCapacity())) << Disk()->GetCapacity();
        else
            EXPECT_EQ(Disk()->GetCapacity(), c.sectors * 512);
        EXPECT_EQ(Str(Disk()->GetInterfaceType()), QString::fromLatin1(c.interfaceType));
        const DISK_INFO* info = Disk()->GetDiskInfo();
        ASSERT_EQ(info != nullptr, c.record);
        if (info) {
            EXPECT_EQ(info->bSATA, c.sata);
            EXPECT_EQ(info->dSATAGeneration, c.generation);
            EXPECT_EQ(info->bRemovable, c.removable);
            EXPECT_EQ(info->dSectorTotal, c.sectors);
            EXPECT_EQ(info->dMaxQueueDepth, c.queue);
            EXPECT_EQ(info->dBufferSizeKB, c.bufferKB);
            EXPECT_EQ(info->bSecuritySupported, c.security);
            EXPECT_EQ(info->bSecurityFrozen, c.security);
            EXPECT_EQ(info->dATAVersion, c.ataVersion);
        }
    }
    EXPECT_TRUE(test::LogContains("IDENTIFY data fail their integrity check"));

    UseBoard("qvx-unreadable-records");
    EXPECT_NE(Disk(0)->GetDiskInfo(), nullptr);
    EXPECT_EQ(Disk(1)->GetDiskInfo(), nullptr);
    vb::Machine::Instance().GetFaults().Set("qvx:Disk.GetDiskInfo");
    EXPECT_EQ(Disk(0)->GetDiskInfo(), nullptr);
}

TEST_F(QvxTest, StorageControllersListTheirDrivesByChannel)
{
    struct Expect {
        IStorageControllerDevice* controller;
        unsigned channels;
        const char* firstName;
        CHANNEL_DEVICE first;
    };
    for (const Expect& e : {Expect{Sata(), 4, "Port 0", {dtHardDisk, 0}}, Expect{Ide(), 2, "Primary Channel", {dtCDROM, 0}}}) {
        ASSERT_NE(e.controller, nullptr);
        ASSERT_EQ(e.controller->GetChannelCount(), e.channels);
        const CHANNEL_INFO* c = e.controller->GetChannelDevices(0);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(QString::fromUtf16(c->szName), QString::fromLatin1(e.firstName));
        ASSERT_EQ(c->uDeviceCount, 1u);
        EXPECT_EQ(c->aDevices[0].uType, e.first.uType);
        EXPECT_EQ(c->aDevices[0].uIndex, e.first.uIndex);
        IDevice* drive = g_DeviceManager.GetDevice(static_cast<QVX_DEVICE_TYPE>(c->aDevices[0].uType), c->aDevices[0].uIndex);
        ASSERT_NE(drive, nullptr);
        EXPECT_EQ(drive->GetType(), static_cast<QVX_DEVICE_TYPE>(e.first.uType));
        for (unsigned k = 1; k < e.channels; ++k)
            EXPECT_EQ(e.controller->GetChannelDevices(k)->uDeviceCount, 0u) << k;
        EXPECT_EQ(e.controller->GetChannelDevices(e.channels), nullptr);   // no such channel
    }
    EXPECT_EQ(Str(g_DeviceManager.GetDevice(dtCDROM, 0)->GetName()), QStringLiteral("Vyk DVD-RW DR212"));
    EXPECT_EQ(QString::fromUtf16(Ide()->GetChannelDevices(1)->szName), QStringLiteral("Secondary Channel"));

    UseBoard("qvx-unreadable-records");
    const CHANNEL_INFO* second = Sata()->GetChannelDevices(1);
    ASSERT_EQ(second->uDeviceCount, 1u);
    EXPECT_EQ(second->aDevices[0].uType, static_cast<uint32_t>(dtHardDisk));
    EXPECT_EQ(second->aDevices[0].uIndex, 1u);
    vb::Machine::Instance().GetFaults().Set("qvx:SATA.GetChannelDevices");
    EXPECT_EQ(Sata()->GetChannelDevices(0), nullptr);

    UseBoard("qvx-bare");
    EXPECT_EQ(Sata(), nullptr);
    EXPECT_EQ(Ide(), nullptr);
}

// Bridges, controllers, link block, memory controller and graphics chip carry the
// identity of their function in the PCI list, as the Engine reads it.
TEST_F(QvxTest, PciIdentitiesAreThoseOfThePciList)
{
    ASSERT_TRUE(g_DriverHandler.Init());
    std::vector<IPciDevice*> devices = {NB(), SB(), Sata(), Ide(), Link(), MC()};
    for (unsigned long i = 0; i < 4; ++i)
        devices.push_back(Usb(i));
    for (IPciDevice* d : devices) {
        ASSERT_NE(d, nullptr);
        SCOPED_TRACE(qPrintable(Str(d->GetName())));
        uint8_t cfg[12] = {};
        ASSERT_TRUE(g_DriverHandler.GetPCIConfig(d->GetBusNumber(), d->GetDeviceNumber(), d->GetFunctionNumber(), 0,
                                                 reinterpret_cast<char*>(cfg), sizeof cfg));
        EXPECT_EQ(d->GetVendorID(), uint32_t(cfg[0] | cfg[1] << 8));
        EXPECT_EQ(d->GetDeviceID(), uint32_t(cfg[2] | cfg[3] << 8));
        EXPECT_EQ(d->GetRevision(), cfg[8]);
        EXPECT_NE(d->GetVendorID(), 0xFFFFu);       // a function that is there
    }
    EXPECT_EQ(SB()->GetRevision(), 0x3Cu);
    EXPECT_EQ(Usb(1)->GetDeviceNumber(), 0x12u);
    EXPECT_EQ(Usb(1)->GetFunctionNumber(), 2u);
    g_DriverHandler.UnInit();
}

} // namespace
