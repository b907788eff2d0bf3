// Device setup's enumeration of the disk-drive class over the board's disks: the
// two-step property reads, missing properties, injected errors, released lists.
#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstring>

#include "Platform/LastError.h"
#include "Platform/SetupApi.h"
#include "VirtualBoard/Machine.h"
#include "support/BoardEdits.h"

using namespace plat;

namespace {

SP_DEVINFO_DATA Record()
{
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    return data;
}

std::u16string FirstString(const std::vector<uint8_t>& bytes)
{
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (!c)
            break;
        text.push_back(c);
    }
    return text;
}

} // namespace

TEST(SetupApiTest, TheDiskClassListsTheBoardsDisks)
{
    HDEVINFO list = SetupDiGetClassDevs(&GUID_DEVCLASS_DISKDRIVE, DIGCF_PRESENT);
    ASSERT_NE(list, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenDeviceInfoLists(), 1);
    SP_DEVINFO_DATA data = Record();
    ASSERT_TRUE(SetupDiEnumDeviceInfo(list, 1, &data));

    // Asked without a buffer, the size needed.
    uint32_t size = 0, type = 0;
    EXPECT_FALSE(SetupDiGetDeviceRegistryProperty(list, &data, SPDRP_HARDWAREID, &type, nullptr, 0, &size));
    EXPECT_EQ(GetLastError(), kErrorInsufficientBuffer);
    std::vector<uint8_t> bytes(size);
    ASSERT_TRUE(SetupDiGetDeviceRegistryProperty(list, &data, SPDRP_HARDWAREID, &type, bytes.data(), size, &size));
    EXPECT_EQ(type, static_cast<uint32_t>(REG_MULTI_SZ));
    EXPECT_EQ(FirstString(bytes), u"IDE\\DiskVYK_CORVANE_FC2G____________________1.00____");
    EXPECT_EQ(bytes[size - 1], 0);
    EXPECT_EQ(bytes[size - 2], 0);
    EXPECT_EQ(bytes[size - 3], 0) << "a multi-string ends in an empty string";
    uint32_t number = 0;
    ASSERT_TRUE(SetupDiGetDeviceRegistryProperty(list, &data, SPDRP_UI_NUMBER, &type,
                                                 reinterpret_cast<uint8_t*>(&number), sizeof number, nullptr));
    EXPECT_EQ(number, 1u);

    EXPECT_FALSE(SetupDiEnumDeviceInfo(list, 2, &data));
    EXPECT_EQ(GetLastError(), kErrorNoMoreItems);
    data.cbSize = 4;
    EXPECT_FALSE(SetupDiEnumDeviceInfo(list, 0, &data));
    EXPECT_EQ(GetLastError(), kErrorInvalidUserBuffer);
    EXPECT_TRUE(SetupDiDestroyDeviceInfoList(list));
    EXPECT_EQ(OpenDeviceInfoLists(), 0);

    // Another class has no devices here.
    Guid other = GUID_DEVCLASS_DISKDRIVE;
    other.Data1 = 0x4D36E965;
    list = SetupDiGetClassDevs(&other, DIGCF_PRESENT);
    ASSERT_NE(list, INVALID_HANDLE_VALUE);
    data = Record();
    EXPECT_FALSE(SetupDiEnumDeviceInfo(list, 0, &data));
    EXPECT_EQ(GetLastError(), kErrorNoMoreItems);
    SetupDiDestroyDeviceInfoList(list);
}

TEST(SetupApiTest, MissingPropertiesAndInjectedErrors)
{
    const QJsonArray disks = {
        QJsonObject{{"uiNumber", 0}},
        QJsonObject{{"hardwareIds", QJsonArray{"IDE\\DiskA"}}},
        QJsonObject{{"enumError", 31}},
        QJsonObject{{"hardwareIds", QJsonArray{"IDE\\DiskB"}}, {"hardwareIdError", 5}, {"uiNumber", 2}, {"uiNumberError", 1167}},
    };
    ASSERT_TRUE(test::LoadDefaultBoardWith({{"diskClass", QJsonObject{{"devices", disks}}}}));
    HDEVINFO list = SetupDiGetClassDevs(&GUID_DEVCLASS_DISKDRIVE, DIGCF_PRESENT);
    ASSERT_NE(list, INVALID_HANDLE_VALUE);
    const struct { uint32_t index; uint32_t enumError; uint32_t idError; uint32_t numberError; } cases[] = {
        {0, 0, kErrorInvalidData, 0},
        {1, 0, kErrorInsufficientBuffer, kErrorInvalidData},
        {2, 31, 0, 0},
        {3, 0, 5, 1167},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        SP_DEVINFO_DATA data = Record();
        if (c.enumError) {
            EXPECT_FALSE(SetupDiEnumDeviceInfo(list, c.index, &data));
            EXPECT_EQ(GetLastError(), c.enumError);
            continue;
        }
        ASSERT_TRUE(SetupDiEnumDeviceInfo(list, c.index, &data));
        uint32_t size = 0;
        EXPECT_FALSE(SetupDiGetDeviceRegistryProperty(list, &data, SPDRP_HARDWAREID, nullptr, nullptr, 0, &size));
        EXPECT_EQ(GetLastError(), c.idError);
        uint32_t number = 0;
        const bool read = SetupDiGetDeviceRegistryProperty(list, &data, SPDRP_UI_NUMBER, nullptr,
                                                           reinterpret_cast<uint8_t*>(&number), 4, nullptr);
        EXPECT_EQ(read, c.numberError == 0);
        if (c.numberError) {
            EXPECT_EQ(GetLastError(), c.numberError);
        }
    }
    SetupDiDestroyDeviceInfoList(list);

    vb::Machine::Instance().GetFaults().Set("setupapi-classdevs-fails");
    EXPECT_EQ(SetupDiGetClassDevs(&GUID_DEVCLASS_DISKDRIVE, DIGCF_PRESENT), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenDeviceInfoLists(), 0);
}
