// The inventory of the simulated board: a drive's IDENTIFY words, device
// identities taken from the PCI list, the USB bus's entries.
#include <QJsonArray>

#include <gtest/gtest.h>

#include "VirtualBoard/Devices/AtaIdentify.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/UsbBus.h"
#include "support/BoardEdits.h"

namespace {

vb::Machine& M() { return vb::Machine::Instance(); }

uint8_t ByteSum(const std::array<uint16_t, 256>& w)
{
    uint8_t sum = 0;
    for (uint16_t word : w)
        sum = static_cast<uint8_t>(sum + (word & 0xFF) + (word >> 8));
    return sum;
}

TEST(InventoryModels, IdentifyWordsOfADrive)
{
    vb::AtaDrive d;
    d.model = "Vyk VD500S";
    d.serial = "SN1";
    d.firmware = "1.0";
    d.sectors = 0x12345678A;                       // past 28 bits
    d.sataGeneration = 2;
    d.queueDepth = 32;
    d.ataMajor = 8;
    d.securitySupported = d.securityFrozen = true;
    const std::array<uint16_t, 256> w = vb::BuildIdentify(d);
    // Texts: the first character in the high byte, blanks to the end of the field.
    EXPECT_EQ(w[27], uint16_t('V' << 8 | 'y'));
    EXPECT_EQ(w[31], uint16_t('0' << 8 | 'S'));
    EXPECT_EQ(w[32], uint16_t(' ' << 8 | ' '));
    EXPECT_EQ(w[46], uint16_t(' ' << 8 | ' '));
    EXPECT_EQ(w[10], uint16_t('S' << 8 | 'N'));
    // Capacity: 28-bit count capped, the whole count in the 48-bit words.
    EXPECT_EQ(w[60] | w[61] << 16, 0x0FFFFFFF);
    EXPECT_EQ(w[100] | uint64_t(w[101]) << 16 | uint64_t(w[102]) << 32, 0x12345678Aull);
    EXPECT_TRUE(w[83] & (1 << 10));
    EXPECT_EQ(w[76], (1 << 1) | (1 << 2) | (1 << 8));   // generations 1 and 2, command queuing
    EXPECT_EQ(w[75], 31);
    EXPECT_EQ(w[80] >> 8, 1);                             // ATA-8 is the highest version
    EXPECT_EQ(w[128], (1 << 0) | (1 << 3));               // supported, frozen
    // Integrity word: signature, and all 512 bytes sum to zero.
    EXPECT_EQ(w[255] & 0xFF, 0xA5);
    EXPECT_EQ(ByteSum(w), 0);
}

TEST(InventoryModels, IdentitiesFromThePciListUnlessTheEntryGivesThem)
{
    vb::DeviceBoard& board = M().Get<vb::DeviceBoard>();
    EXPECT_EQ(board.nb.id.vendorId, 0x1002u);             // 00:00.0 of the PCI list
    EXPECT_EQ(board.nb.id.deviceId, 0x5956u);
    EXPECT_EQ(board.sb.id.revision, 0x3Cu);
    EXPECT_EQ(board.inventory.ide.id.device, 0x14u);
    EXPECT_EQ(board.inventory.ide.id.function, 1u);
    ASSERT_EQ(board.inventory.usbControllers.size(), 4u);
    EXPECT_EQ(board.inventory.usbControllers[3].function, 2u);

    QJsonObject devices = test::DefaultBoard().value("devices").toObject();
    QJsonObject nb = devices.value("northBridge").toObject();
    nb.insert("deviceId", "0x9600");
    devices.insert("northBridge", nb);
    QJsonObject sata = devices.value("sataController").toObject();
    sata.insert("pci", "00:1F.7");                        // nothing there: all ones
    devices.insert("sataController", sata);
    ASSERT_TRUE(test::LoadDefaultBoardWith({{"devices", devices}}));
    vb::DeviceBoard& edited = M().Get<vb::DeviceBoard>();
    EXPECT_EQ(edited.nb.id.deviceId, 0x9600u);
    EXPECT_EQ(edited.nb.id.vendorId, 0x1002u);
    EXPECT_EQ(edited.inventory.sata.id.vendorId, 0xFFFFu);
}

TEST(InventoryModels, BoardFileEntriesAndTheirMistakes)
{
    QJsonObject devices = test::DefaultBoard().value("devices").toObject();
    devices.insert("memoryModules", QJsonArray{QJsonObject{{"slot", 1}}, QJsonObject{{"slot", 4}}});
    // A drive that answers some IDENTIFY words as given; the integrity word stays its own.
    QJsonObject disk = devices.value("disks").toArray().at(0).toObject();
    disk.insert("identifyWords", QJsonObject{{"21", 0xFFFF}, {"75", 0}, {"255", 0}, {"80", 70000}});
    devices.insert("disks", QJsonArray{disk});
    ASSERT_TRUE(test::LoadDefaultBoardWith(
        {{"devices", devices},
         {"usb", QJsonObject{{"devices", QJsonArray{"USB Keyboard", QJsonObject{{"name", "Stick"}, {"controller", 2}}}}}}}));
    const vb::InventoryState& inv = M().Get<vb::DeviceBoard>().inventory;
    ASSERT_EQ(inv.modules.size(), 1u);                    // slot 4 does not exist
    EXPECT_EQ(inv.modules[0].spdAddress, 0x51);           // 0x50 + slot unless given
    EXPECT_TRUE(M().GetJournal().Contains("memory module in slot 4"));
    ASSERT_EQ(inv.disks.size(), 1u);
    const std::array<uint16_t, 256>& w = inv.disks[0].identify;
    EXPECT_EQ(w[21], 0xFFFF);
    EXPECT_EQ(w[75], 0);
    EXPECT_EQ(w[80] >> 8, 1);                             // 70000 is no word: ATA-8 stays
    EXPECT_EQ(w[255] & 0xFF, 0xA5);
    EXPECT_EQ(ByteSum(w), 0);
    EXPECT_TRUE(M().GetJournal().Contains("IDENTIFY word \"255\": the words are 0 to 254"));
    EXPECT_TRUE(M().GetJournal().Contains("IDENTIFY word \"80\": the words are 0 to 254"));
    EXPECT_EQ(inv.bios.version, "VV 2.10");               // the SMBIOS BIOS record
    const std::vector<vb::UsbDevice> usb = M().Get<vb::UsbBus>().Attached();
    ASSERT_EQ(usb.size(), 2u);
    EXPECT_EQ(usb[0].kind, vb::UsbKind::Keyboard);
    EXPECT_EQ(usb[1].kind, vb::UsbKind::Storage);
    EXPECT_EQ(usb[1].controller, 2);
}

} // namespace
