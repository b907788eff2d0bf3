#include "SmbiosBuilder.h"
#include "TableBytes.h"
#include "TableImage.h"

#include "VirtualBoard/Journal.h"
#include "VirtualBoard/Processor.h"

#include <QStringList>

namespace vb::tables {

namespace {

// One structure: its formatted area and its strings (numbered from 1).
class Structure {
public:
    Structure(uint8_t type, int length, uint16_t handle) : m_area(length, '\0')
    {
        Put8(m_area, 0, type);
        Put8(m_area, 1, static_cast<uint8_t>(length));
        Put16(m_area, 2, handle);
    }
    QByteArray& Area() { return m_area; }
    // Stores the string and its number at `at`; an empty text gets number 0.
    void String(int at, const QString& text)
    {
        if (at >= m_area.size())
            return;
        if (text.isEmpty()) {
            Put8(m_area, at, 0);
            return;
        }
        m_strings << text;
        Put8(m_area, at, static_cast<uint8_t>(m_strings.size()));
    }
    QByteArray Bytes() const
    {
        QByteArray b = m_area;
        for (const QString& s : m_strings)
            b += s.toLatin1() + '\0';
        if (m_strings.isEmpty())
            b += '\0';
        return b + '\0';
    }
private:
    QByteArray m_area;
    QStringList m_strings;
};

QString Text(const QJsonObject& o, const char* key, const char* fallback)
{
    return o.value(QLatin1String(key)).toString(QLatin1String(fallback));
}

uint64_t Num(const QJsonObject& o, const char* key, uint64_t fallback)
{
    return ToU64(o.value(QLatin1String(key)), fallback);
}

QByteArray Bios(const QJsonObject& o, int major, int minor, uint16_t handle)
{
    // 2.4 added the release bytes, 3.1 the extended ROM size.
    const bool extendedRom = major > 3 || (major == 3 && minor >= 1);
    const bool release = major > 2 || (major == 2 && minor >= 4);
    Structure s(0, extendedRom ? 0x1A : release ? 0x18 : 0x14, handle);
    QByteArray& a = s.Area();
    s.String(0x04, Text(o, "vendor", "Vyk Firmware Inc."));
    s.String(0x05, Text(o, "version", "VV 2.10"));
    Put16(a, 0x06, static_cast<uint16_t>(Num(o, "segment", 0xF000)));
    s.String(0x08, Text(o, "releaseDate", "02/23/2009"));
    Put8(a, 0x09, static_cast<uint8_t>(Num(o, "romSizeKB", 1024) / 64 - 1));
    Put64(a, 0x0A, Num(o, "characteristics", 0x000000007CB99880ull));
    Put8(a, 0x12, static_cast<uint8_t>(Num(o, "extension1", 0x33)));
    Put8(a, 0x13, static_cast<uint8_t>(Num(o, "extension2", 0x05)));
    if (release) {
        Put8(a, 0x14, static_cast<uint8_t>(Num(o, "biosMajor", 2)));
        Put8(a, 0x15, static_cast<uint8_t>(Num(o, "biosMinor", 10)));
        Put8(a, 0x16, static_cast<uint8_t>(Num(o, "controllerMajor", 1)));
        Put8(a, 0x17, static_cast<uint8_t>(Num(o, "controllerMinor", 4)));
    }
    if (extendedRom)
        Put16(a, 0x18, static_cast<uint16_t>(Num(o, "extendedRomSize", 16)));
    return s.Bytes();
}

QByteArray System(const QJsonObject& o, uint16_t handle)
{
    Structure s(1, 0x1B, handle);
    s.String(0x04, Text(o, "manufacturer", "Vyk Computer Works"));
    s.String(0x05, Text(o, "product", "Velocrest Reference"));
    s.String(0x06, Text(o, "version", "1.0"));
    s.String(0x07, Text(o, "serial", "VV0000001"));
    const QByteArray uuid = QByteArray::fromHex(Text(o, "uuid", "5679b87c4a1e11dfa2c20800200c9a66").toLatin1());
    s.Area().replace(0x08, 16, uuid.leftJustified(16, '\0', true));
    Put8(s.Area(), 0x18, static_cast<uint8_t>(Num(o, "wakeUpType", 6)));
    s.String(0x19, Text(o, "sku", "VV-REF"));
    s.String(0x1A, Text(o, "family", "Velocrest"));
    return s.Bytes();
}

QByteArray BaseBoard(const QJsonObject& o, uint16_t handle)
{
    Structure s(2, 0x0F, handle);
    s.String(0x04, Text(o, "manufacturer", "Vyk Computer Works"));
    s.String(0x05, Text(o, "product", "VV380"));
    s.String(0x06, Text(o, "version", "Rev 1.0"));
    s.String(0x07, Text(o, "serial", "BB0000001"));
    s.String(0x08, Text(o, "assetTag", ""));
    Put8(s.Area(), 0x09, static_cast<uint8_t>(Num(o, "features", 0x09)));
    s.String(0x0A, Text(o, "location", "Main board"));
    Put16(s.Area(), 0x0B, 0x0003);
    Put8(s.Area(), 0x0D, static_cast<uint8_t>(Num(o, "boardType", 0x0A)));
    return s.Bytes();
}

QByteArray Chassis(const QJsonObject& o, uint16_t handle)
{
    Structure s(3, 0x15, handle);
    QByteArray& a = s.Area();
    s.String(0x04, Text(o, "manufacturer", "Vyk Computer Works"));
    Put8(a, 0x05, static_cast<uint8_t>(Num(o, "type", 0x03)));
    s.String(0x06, Text(o, "version", "1.0"));
    s.String(0x07, Text(o, "serial", "CH0000001"));
    s.String(0x08, Text(o, "assetTag", ""));
    Put8(a, 0x09, 3);       // safe
    Put8(a, 0x0A, 3);
    Put8(a, 0x0B, 3);
    Put8(a, 0x0C, 3);       // no security
    Put32(a, 0x0D, static_cast<uint32_t>(Num(o, "oem", 0)));
    Put8(a, 0x11, static_cast<uint8_t>(Num(o, "height", 0)));
    return s.Bytes();
}

QByteArray ProcessorStructure(const QJsonObject& o, const Processor& cpu, int socket, int major, int minor,
                              uint16_t handle)
{
    // 2.5 added the core and thread counts, 3.0 their 16-bit twins.
    const bool counts = major > 2 || (major == 2 && minor >= 5);
    Structure s(4, major >= 3 ? 0x2A : counts ? 0x28 : 0x23, handle);
    QByteArray& a = s.Area();
    s.String(0x04, QStringLiteral("CPU %1").arg(socket + 1));
    Put8(a, 0x05, 3);                                   // central processor
    Put8(a, 0x06, static_cast<uint8_t>(Num(o, "family", 0x6B)));
    s.String(0x07, QString::fromStdString(cpu.Vendor()));
    const vb::CpuidRegs leaf1 = cpu.Cpuid(1);
    Put32(a, 0x08, leaf1.eax);
    Put32(a, 0x0C, leaf1.edx);
    s.String(0x10, QString::fromStdString(cpu.Brand()));
    // Bit 7: bits 6-0 are the current voltage x 10, as boards of the era report it (1.3 V).
    Put8(a, 0x11, static_cast<uint8_t>(Num(o, "voltage", 0x8D)));
    const auto mhz = static_cast<uint16_t>(cpu.CoreClockMHz());
    Put16(a, 0x12, static_cast<uint16_t>(Num(o, "externalClock", 200)));
    Put16(a, 0x14, static_cast<uint16_t>(Num(o, "maxSpeed", 3600)));
    Put16(a, 0x16, mhz);
    Put8(a, 0x18, 0x41);                                // populated, enabled
    Put8(a, 0x19, static_cast<uint8_t>(Num(o, "upgrade", 0x1D)));
    Put16(a, 0x1A, 0xFFFF);
    Put16(a, 0x1C, 0xFFFF);
    Put16(a, 0x1E, 0xFFFF);
    s.String(0x20, Text(o, "serial", ""));
    s.String(0x21, Text(o, "assetTag", ""));
    s.String(0x22, Text(o, "partNumber", ""));
    if (counts) {
        Put8(a, 0x23, static_cast<uint8_t>(cpu.CoreCount()));
        Put8(a, 0x24, static_cast<uint8_t>(cpu.CoreCount()));
        Put8(a, 0x25, static_cast<uint8_t>(cpu.CoreCount()));
        Put16(a, 0x26, 0x00FC);                         // 64-bit capable, multi-core...
    }
    if (major >= 3)
        Put16(a, 0x28, 0x006B);
    return s.Bytes();
}

QByteArray EntryPoint(int major, int minor, const QByteArray& table, int count, uint16_t largest)
{
    QByteArray e(31, '\0');
    PutText(e, 0, "_SM_", 4);
    Put8(e, 5, 0x1F);
    Put8(e, 6, static_cast<uint8_t>(major));
    Put8(e, 7, static_cast<uint8_t>(minor));
    Put16(e, 8, largest);
    PutText(e, 0x10, "_DMI_", 5);
    Put16(e, 0x16, static_cast<uint16_t>(table.size()));
    Put32(e, 0x18, static_cast<uint32_t>(FirmwareTables::kSmbiosTableAddress));
    Put16(e, 0x1C, static_cast<uint16_t>(count));
    Put8(e, 0x1E, static_cast<uint8_t>(((major & 0xF) << 4) | (minor & 0xF)));
    FixChecksum(e, 0x15, 0x10, 31);
    FixChecksum(e, 4, 0, 31);
    return e;
}

} // namespace

std::vector<FirmwareBlob> BuildSmbios(const QJsonObject& smbios, const QString& boardDir, const Processor& cpu,
                                      int sockets)
{
    if (smbios.value(QStringLiteral("absent")).toBool())
        return {};
    const QStringList version = smbios.value(QStringLiteral("version")).toString(QStringLiteral("2.6")).split('.');
    const int major = version.value(0).toInt();
    const int minor = version.value(1).toInt();

    QByteArray table;
    int count = 0;
    uint16_t largest = 0;
    const QJsonValue image = smbios.value(QStringLiteral("image"));
    if (!image.isUndefined()) {
        if (!LoadImage(image, boardDir, "SMBIOS table", &table))
            return {};
        count = static_cast<int>(ToU64(smbios.value(QStringLiteral("structureCount")), 0));
    } else {
        std::vector<QByteArray> structures{
            Bios(smbios.value(QStringLiteral("bios")).toObject(), major, minor, 0x0000),
            System(smbios.value(QStringLiteral("system")).toObject(), 0x0001),
            BaseBoard(smbios.value(QStringLiteral("baseBoard")).toObject(), 0x0002),
            Chassis(smbios.value(QStringLiteral("chassis")).toObject(), 0x0003)};
        for (int i = 0; i < sockets; ++i)
            structures.push_back(ProcessorStructure(smbios.value(QStringLiteral("processor")).toObject(), cpu, i,
                                                    major, minor, static_cast<uint16_t>(0x0004 + i)));
        structures.push_back(Structure(127, 4, 0xFEFF).Bytes());
        for (const QByteArray& s : structures) {
            table += s;
            largest = std::max<uint16_t>(largest, static_cast<uint16_t>(s.size()));
        }
        count = static_cast<int>(structures.size());
    }
    return {{FirmwareTables::kSmbiosEntryAddress, EntryPoint(major, minor, table, count, largest), "SMBIOS entry point"},
            {FirmwareTables::kSmbiosTableAddress, table, "SMBIOS table"}};
}

} // namespace vb::tables
