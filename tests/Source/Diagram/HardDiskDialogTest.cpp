// The hard disk dialog: its formats (rounded megabytes, whole sectors, the
// general number form elsewhere), a disk without identification, text fields
// without their terminating zero, and the disks of the simulated boards.
#include <cstring>
#include <limits>

#include "Diagram/DialogSupport.h"
#include "Diagram/HardDiskDialog.h"
#include "QVXLogic/InventoryDevices.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/LogCapture.h"

using test::DiagramTest;

namespace {

// A disk whose capacity and identification record the test sets.
class FakeDisk : public IHardDiskDevice {
public:
    FakeDisk() { std::memset(&info, 0, sizeof info); }
    const char16_t* GetName() override { return u"Test Disk"; }
    const char16_t* GetDescription() override { return u"Disk drive"; }
    const char16_t* GetVendor() override { return u"Vyk"; }
    const char16_t* GetTypeName() override { return u"HardDisk"; }
    const char16_t* GetClassName() override { return u"Disk"; }
    QVX_DEVICE_TYPE GetType() override { return dtHardDisk; }
    int GetIndex() override { return 0; }
    unsigned long GetBuildVersion() override { return 0; }
    double GetCapacity() override { return capacity; }
    double GetSectorSize() override { return 512; }
    const char16_t* GetInterfaceType() override { return u"SATA"; }
    const DISK_INFO* GetDiskInfo() override { return hasInfo ? &info : nullptr; }

    double capacity = 0;
    bool hasInfo = true;
    DISK_INFO info;
};

QStringList Cells(HardDiskDialog& dialog)
{
    const Ui::HardDiskDialogClass& f = dialog.Form();
    QStringList cells;
    for (QLabel* label : {f.Name, f.Description, f.Vendor, f.Capacity, f.InterfaceType, f.SerialNumber,
                          f.FirmwareRev, f.ModelNumber, f.Removable, f.SupportDMA, f.SupportLBA, f.SupportSATA,
                          f.SATAGen, f.SectorTotal, f.QueueDepth, f.ATAVersion})
        cells << label->text();
    return cells;
}

} // namespace

TEST(HardDiskDialogTest, FormatsOfCapacitySectorsAndTheGeneralNumbers)
{
    const double MiB = 1024.0 * 1024.0;
    const double kUnknown = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double capacity, generation, sectors, queue, ata;
        const char *capacityText, *generationText, *sectorsText, *queueText, *ataText;
    } kCases[] = {
        {1.5 * MiB + 1, 2, 999999999, 32, 8, "2 MB", "2", "999999999", "32", "8"},
        {0.49 * MiB, 3, 976773168, 1234567, 7.5, "0 MB", "3", "976773168", "1.23457e+06", "7.5"},
        {500107862016.0, 1234567, 0, 0, 0, "476940 MB", "1.23457e+06", "0", "0", "0"},
        // A drive whose sector count is unknown has told no size either.
        {kUnknown, 2, kUnknown, 32, 8, "", "2", "", "32", "8"},
    };
    for (const auto& c : kCases) {
        FakeDisk disk;
        disk.capacity = c.capacity;
        disk.info.dSATAGeneration = c.generation;
        disk.info.dSectorTotal = c.sectors;
        disk.info.dMaxQueueDepth = c.queue;
        disk.info.dATAVersion = c.ata;
        HardDiskDialog dialog;
        ASSERT_TRUE(dialog.SetDevice(&disk));
        ASSERT_TRUE(dialog.Init());
        const QStringList cells = Cells(dialog);
        EXPECT_EQ(cells[3], c.capacityText);
        EXPECT_EQ(cells[12], c.generationText);
        EXPECT_EQ(cells[13], c.sectorsText);
        EXPECT_EQ(cells[14], c.queueText);
        EXPECT_EQ(cells[15], c.ataText);
        EXPECT_EQ(cells.mid(8, 4), QStringList({"false", "false", "false", "false"}));
    }
}

TEST(HardDiskDialogTest, TextsStopAtTheirFieldAndFlagsReadAnyNonZeroByte)
{
    FakeDisk disk;
    std::memset(disk.info.szSerialNumber, 'S', sizeof disk.info.szSerialNumber);   // no terminating zero
    std::strcpy(disk.info.szFirmwareRevision, "1.00");
    std::memset(disk.info.szModelNumber, 'M', sizeof disk.info.szModelNumber);
    disk.info.bRemovable = 1;
    disk.info.bDMA = 0;
    disk.info.bLBA = 255;
    disk.info.bSATA = 2;
    HardDiskDialog dialog;
    ASSERT_TRUE(dialog.SetDevice(&disk));
    ASSERT_TRUE(dialog.Init());
    const QStringList cells = Cells(dialog);
    EXPECT_EQ(cells.mid(0, 3), QStringList({"Test Disk", "Disk drive", "Vyk"}));
    EXPECT_EQ(cells[4], "SATA");
    EXPECT_EQ(cells[5], QString(256, 'S'));
    EXPECT_EQ(cells[6], "1.00");
    EXPECT_EQ(cells[7], QString(256, 'M'));
    EXPECT_EQ(cells.mid(8, 4), QStringList({"true", "false", "true", "true"}));
    EXPECT_EQ(std::string(dialog.GetName()), "Hard Drive Disk");
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->styleSheet() == QLatin1String(kValueLabelStyle)) {
            EXPECT_TRUE(label->whatsThis().endsWith(' ')) << label->objectName().toStdString();
        }
    }
}

TEST(HardDiskDialogTest, WithoutIdentificationOnlyTheDevicesOwnFieldsAreShownAndInitFails)
{
    FakeDisk disk;
    disk.capacity = 2.0 * 1024 * 1024;
    disk.hasInfo = false;
    HardDiskDialog dialog;
    ASSERT_TRUE(dialog.SetDevice(&disk));
    EXPECT_FALSE(dialog.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pDiskInfo)"));
    EXPECT_TRUE(test::LogContains("HardDiskDialog::Refresh"));
    const QStringList cells = Cells(dialog);
    EXPECT_EQ(cells.mid(0, 5), QStringList({"Test Disk", "Disk drive", "Vyk", "2 MB", "SATA"}));
    for (int i = 5; i < 16; ++i)
        EXPECT_TRUE(cells[i].isEmpty()) << i;

    HardDiskDialog unbound;
    EXPECT_TRUE(unbound.SetDevice(nullptr));
    EXPECT_FALSE(unbound.Init());
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_pHardDisk)"));
}

TEST_F(DiagramTest, TheBoardsDiskOpensItsDialogAndADiskWithoutIdentificationHasNone)
{
    Open();
    ASSERT_EQ(Title(dnSATADevice0), "Hard Drive Disk");
    auto& dialog = dynamic_cast<HardDiskDialog&>(*g_DialogManager.Frame(dnSATADevice0)->Dialog());
    EXPECT_EQ(Cells(dialog), QStringList({"VYK HD500S ATA Device", "Disk drive", "Vyk", "476940 MB", "SATA",
                                          "VD5S0001234567", "1.00", "VYK HD500S", "false", "true", "true",
                                          "true", "2", "976773168", "32", "8"}));
    EXPECT_TRUE(Button(dnSATADevice0)->isEnabled());
    EXPECT_FALSE(Button(dnSATADevice0)->icon().isNull());
    page->UnInit();
    page.reset();

    // The second disk answers no identification: its button shows the disk but stays
    // disabled, and the drives after it still get their dialogs.
    UseVariant("qvx-unreadable-records");
    Open();
    EXPECT_EQ(Title(dnSATADevice0), "Hard Drive Disk");
    EXPECT_EQ(Title(dnSATADevice1), "");
    EXPECT_FALSE(Button(dnSATADevice1)->isEnabled());
    EXPECT_FALSE(Button(dnSATADevice1)->icon().isNull());
    EXPECT_EQ(Title(dnIDEDevice0), "CD/DVD Drive");
    EXPECT_EQ(Title(dnUSBDevice0), "Mouse");
}
