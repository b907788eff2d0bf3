#include "AcpiBuilder.h"
#include "TableBytes.h"
#include "TableImage.h"

#include "VirtualBoard/Journal.h"

#include <QJsonArray>

#include <map>

namespace vb::tables {

namespace {

struct Ids {
    QByteArray oemId, oemTableId;
};

QByteArray Header(const char* signature, int length, uint8_t revision, const Ids& ids)
{
    QByteArray t(length, '\0');
    PutText(t, 0, signature, 4);
    Put32(t, 4, static_cast<uint32_t>(length));
    Put8(t, 8, revision);
    PutText(t, 10, ids.oemId, 6);
    PutText(t, 16, ids.oemTableId, 8);
    Put32(t, 24, 1);
    PutText(t, 28, "VYKB", 4);
    Put32(t, 32, 0x20090223);
    return t;
}

void Seal(QByteArray& t) { FixChecksum(t, 9, 0, t.size()); }

QByteArray Facs()
{
    // No checksum: the standard gives this table none.
    QByteArray t(64, '\0');
    PutText(t, 0, "FACS", 4);
    Put32(t, 4, 64);
    Put32(t, 8, 0x5A17C0DE);   // hardware signature
    Put8(t, 32, 2);            // version
    return t;
}

QByteArray Dsdt(const Ids& ids)
{
    // Scope (\_SB) {} and Name (_S5, Package (2) {5, 5}): enough for a reader to see AML.
    const QByteArray body = QByteArray::fromHex("10065c5f53425f" "085f53355f12060205" "0a05");
    QByteArray t = Header("DSDT", 36 + body.size(), 2, ids);
    t.replace(36, body.size(), body);
    Seal(t);
    return t;
}

QByteArray Facp(const Ids& ids)
{
    QByteArray t = Header("FACP", 244, 4, ids);
    Put8(t, 45, 1);                      // preferred profile: desktop
    Put16(t, 46, 9);                     // SCI interrupt
    Put32(t, 48, 0xB2);                  // SMI command port
    Put32(t, 56, 0x800);                 // PM1a event block
    Put32(t, 64, 0x804);                 // PM1a control block
    Put32(t, 76, 0x808);                 // PM timer block
    Put8(t, 88, 4);
    Put8(t, 89, 2);
    Put8(t, 91, 4);
    return t;
}

void PointFacp(QByteArray& facp, uint64_t facs, uint64_t dsdt)
{
    if (facp.size() >= 44) {
        Put32(facp, 36, static_cast<uint32_t>(facs));
        Put32(facp, 40, static_cast<uint32_t>(dsdt));
    }
    if (facp.size() >= 148) {            // the 64-bit twins
        Put64(facp, 132, facs);
        Put64(facp, 140, dsdt);
    }
    Seal(facp);
}

QByteArray Apic(const Ids& ids, int cores)
{
    QByteArray entries;
    for (int i = 0; i < cores; ++i) {
        QByteArray e(8, '\0');
        Put8(e, 0, 0);                   // processor local APIC
        Put8(e, 1, 8);
        Put8(e, 2, static_cast<uint8_t>(i));
        Put8(e, 3, static_cast<uint8_t>(i));
        Put32(e, 4, 1);                  // enabled
        entries += e;
    }
    QByteArray io(12, '\0');
    Put8(io, 0, 1);
    Put8(io, 1, 12);
    Put8(io, 2, static_cast<uint8_t>(cores));
    Put32(io, 4, 0xFEC00000);
    entries += io;
    QByteArray over(10, '\0');           // timer on ISA IRQ 0 routed to GSI 2
    Put8(over, 0, 2);
    Put8(over, 1, 10);
    Put8(over, 3, 0);
    Put32(over, 4, 2);
    entries += over;
    QByteArray t = Header("APIC", 44 + entries.size(), 3, ids);
    Put32(t, 36, 0xFEE00000);
    Put32(t, 40, 1);                     // PC-AT compatible
    t.replace(44, entries.size(), entries);
    Seal(t);
    return t;
}

QByteArray Mcfg(const Ids& ids, uint64_t base, uint8_t endBus)
{
    QByteArray t = Header("MCFG", 60, 1, ids);
    Put64(t, 44, base);
    Put16(t, 52, 0);
    Put8(t, 54, 0);
    Put8(t, 55, endBus);
    Seal(t);
    return t;
}

QByteArray OemTable(const Ids& ids)
{
    QByteArray t = Header("OEMB", 48, 1, ids);
    PutText(t, 36, "Velocrest OC", 12);
    Seal(t);
    return t;
}

QByteArray Root(const char* signature, const std::vector<uint64_t>& addresses, int width, const Ids& ids)
{
    QByteArray t = Header(signature, 36 + static_cast<int>(addresses.size()) * width, 1, ids);
    for (size_t i = 0; i < addresses.size(); ++i) {
        const int at = 36 + static_cast<int>(i) * width;
        if (width == 4)
            Put32(t, at, static_cast<uint32_t>(addresses[i]));
        else
            Put64(t, at, addresses[i]);
    }
    return t;
}

QByteArray Rsdp(uint8_t revision, uint64_t rsdt, uint64_t xsdt, const Ids& ids)
{
    QByteArray p(36, '\0');
    PutText(p, 0, "RSD PTR ", 8);
    PutText(p, 9, ids.oemId, 6);
    Put8(p, 15, revision);
    Put32(p, 16, static_cast<uint32_t>(rsdt));
    Put32(p, 20, 36);
    Put64(p, 24, xsdt);
    FixChecksum(p, 8, 0, 20);
    FixChecksum(p, 32, 0, 36);
    return revision == 0 ? p.left(20) : p;
}

// Raw images by signature, in the order the board names them: file names (relative
// to the board's folder) or {"base64": "..."} objects.
std::vector<std::pair<QByteArray, QByteArray>> LoadImages(const QJsonArray& images, const QString& boardDir)
{
    std::vector<std::pair<QByteArray, QByteArray>> loaded;
    for (const QJsonValue& v : images) {
        QByteArray bytes;
        if (!LoadImage(v, boardDir, "ACPI table", &bytes))
            continue;
        if (bytes.size() < 4) {
            Report(rtError, "VirtualBoard: an ACPI table image is too short");
            continue;
        }
        loaded.emplace_back(bytes.left(4), bytes);
    }
    return loaded;
}

} // namespace

AcpiLayout BuildAcpi(const QJsonObject& acpi, const QString& boardDir, int cores, uint64_t defaultEcamBase,
                     uint8_t defaultEndBus)
{
    AcpiLayout layout;
    if (acpi.value(QStringLiteral("absent")).toBool())
        return layout;
    const Ids ids{acpi.value(QStringLiteral("oemId")).toString(QStringLiteral("VYKBRD")).toLatin1(),
                  acpi.value(QStringLiteral("oemTableId")).toString(QStringLiteral("VELOCRST")).toLatin1()};
    const uint8_t revision = static_cast<uint8_t>(ToU64(acpi.value(QStringLiteral("rsdpRevision")), 2));
    const bool withXsdt = revision > 0 && acpi.value(QStringLiteral("xsdt")).toBool(true);
    QStringList corrupt;
    for (const QJsonValue& v : acpi.value(QStringLiteral("corrupt")).toArray())
        corrupt << v.toString();

    // The tables in placement order; FACS and DSDT are reached through FACP only.
    std::vector<std::pair<QByteArray, QByteArray>> tables{{"FACS", Facs()}, {"DSDT", Dsdt(ids)}, {"FACP", Facp(ids)},
                                                          {"APIC", Apic(ids, cores)}};
    if (acpi.value(QStringLiteral("mcfg")).toBool(true)) {
        layout.ecamBase = ToU64(acpi.value(QStringLiteral("ecamBase")), defaultEcamBase);
        tables.emplace_back("MCFG", Mcfg(ids, layout.ecamBase,
                                         static_cast<uint8_t>(ToU64(acpi.value(QStringLiteral("ecamEndBus")), defaultEndBus))));
    }
    if (acpi.value(QStringLiteral("oemTable")).toBool(true))
        tables.emplace_back("OEMB", OemTable(ids));
    for (const auto& image : LoadImages(acpi.value(QStringLiteral("images")).toArray(), boardDir)) {
        const QByteArray& signature = image.first;
        const QByteArray& bytes = image.second;
        auto it = std::find_if(tables.begin(), tables.end(), [&](const auto& t) { return t.first == signature; });
        if (it != tables.end())
            it->second = bytes;
        else
            tables.emplace_back(signature, bytes);
        if (signature == "MCFG" && bytes.size() >= 52)
            layout.ecamBase = Get32(bytes, 44) | (uint64_t(Get32(bytes, 48)) << 32);
    }

    std::map<QByteArray, uint64_t> at;
    uint64_t next = FirmwareTables::kAcpiTablesBase;
    for (const auto& [signature, bytes] : tables) {
        at[signature] = next;
        next = (next + bytes.size() + 63) & ~uint64_t(63);
    }
    std::vector<uint64_t> rootEntries;
    for (auto& [signature, bytes] : tables) {
        if (signature == "FACP")
            PointFacp(bytes, at["FACS"], at["DSDT"]);
        if (signature != "FACS" && signature != "DSDT")
            rootEntries.push_back(at[signature]);
    }
    const uint64_t rsdtAt = next;
    QByteArray rsdt = Root("RSDT", rootEntries, 4, ids);
    Seal(rsdt);
    const uint64_t xsdtAt = (rsdtAt + rsdt.size() + 63) & ~uint64_t(63);
    QByteArray xsdt = Root("XSDT", rootEntries, 8, ids);
    Seal(xsdt);
    // A board can point the root pointer at tables of its own (see "blobs").
    QByteArray rsdp = Rsdp(revision, ToU64(acpi.value(QStringLiteral("rsdtAddress")), rsdtAt),
                           withXsdt ? ToU64(acpi.value(QStringLiteral("xsdtAddress")), xsdtAt) : 0, ids);

    auto corrupted = [&](const QString& name, QByteArray& bytes, int at) {
        if (corrupt.contains(name))
            bytes[at] = static_cast<char>(bytes[at] + 1);
    };
    for (auto& [signature, bytes] : tables) {
        if (signature != "FACS")
            corrupted(QString::fromLatin1(signature), bytes, 9);
        layout.blobs.push_back({at[signature], bytes, "ACPI table"});
    }
    corrupted(QStringLiteral("RSDT"), rsdt, 9);
    layout.blobs.push_back({rsdtAt, rsdt, "RSDT"});
    if (withXsdt) {
        corrupted(QStringLiteral("XSDT"), xsdt, 9);
        layout.blobs.push_back({xsdtAt, xsdt, "XSDT"});
    }
    corrupted(QStringLiteral("RSDP"), rsdp, 8);
    if (rsdp.size() == 36)
        corrupted(QStringLiteral("RSDP-extended"), rsdp, 32);
    layout.blobs.push_back({FirmwareTables::kRsdpAddress, rsdp, "RSDP"});
    // Bytes placed as they stand at the given addresses.
    for (const QJsonValue& v : acpi.value(QStringLiteral("blobs")).toArray()) {
        QByteArray bytes;
        if (LoadImage(v, boardDir, "ACPI memory", &bytes))
            layout.blobs.push_back({ToU64(v.toObject().value(QStringLiteral("address"))), bytes, "ACPI memory"});
    }
    return layout;
}

} // namespace vb::tables
