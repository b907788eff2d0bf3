// Fuzz input: the bytes of the ACPI tables. A revision-0 root pointer in the BIOS
// area points at the start of the input, so the input begins with the RSDT; its
// entries may point anywhere, also back into the input.
#include "FuzzBoard.h"
#include "FuzzMain.h"

#include <QStringList>

#include <map>
#include <tuple>

#include "Engine/ACPITable.h"

// The board and the driver, once for all inputs.
static void Start()
{
    fuzz::Start();
    // Tables claiming to run far past the input end at the first unbacked byte
    // instead of being read as megabytes of all-ones.
    vb::Machine::Instance().GetFaults().Set("memory-unbacked-fails");
    fuzz::ClearBiosArea();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kTableAreaSize)
        return 0;
    QByteArray rsdp(20, '\0');
    std::memcpy(rsdp.data(), "RSD PTR ", 8);
    fuzz::Put32(rsdp, 16, static_cast<uint32_t>(fuzz::kTableArea));
    fuzz::Seal(rsdp, 8, 20);
    fuzz::LoadBiosArea(0xF0000, rsdp);
    fuzz::LoadTableArea(0, QByteArray(fuzz::kTableAreaSize, '\0'));
    fuzz::LoadTableArea(0, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    // Past the root table's checks: it was taken, and a table it points at too.
    const char* table = nullptr;
    uint32_t length = 0;
    if (GetACPITable().Init()
        && (GetACPITable().GetTable(AcpiSignature("FACP"), table, length)
            || GetACPITable().GetTable(AcpiSignature("MCFG"), table, length)))
        fuzz::Reached();
    GetACPITable().UnInit();
    return 0;
}

// Seeds: the real tables of the fixtures, laid out as inputs. The RSDT comes first and
// points at every table but the DSDT and FACS, which the FACP points at.
static QByteArray Layout(const char* folder, const QStringList& names)
{
    QByteArray rsdt(36, '\0');
    std::memcpy(rsdt.data(), "RSDT", 4);
    rsdt[8] = 1;
    std::memcpy(rsdt.data() + 10, "VYKFUZ", 6);
    QByteArray body;
    std::map<QString, uint32_t> at;
    const uint32_t start = static_cast<uint32_t>(36 + 4 * (names.size() - names.count("DSDT") - names.count("FACS")));
    for (const QString& name : names) {
        at[name] = start + static_cast<uint32_t>(body.size());
        body += fuzz::Fixture(qPrintable(QStringLiteral("firmware/%1/%2.bin").arg(QLatin1String(folder), name)));
        body += QByteArray((8 - body.size() % 8) % 8, '\0');
    }
    for (const QString& name : names)
        if (name != QLatin1String("DSDT") && name != QLatin1String("FACS")) {
            rsdt += QByteArray(4, '\0');
            fuzz::Put32(rsdt, rsdt.size() - 4, static_cast<uint32_t>(fuzz::kTableArea) + at[name]);
        }
    fuzz::Put32(rsdt, 4, static_cast<uint32_t>(rsdt.size()));
    fuzz::Seal(rsdt, 9, rsdt.size());
    QByteArray input = rsdt + body;
    if (at.count(QStringLiteral("FACP"))) {
        const int facp = static_cast<int>(at[QStringLiteral("FACP")]);
        uint32_t length = 0;
        std::memcpy(&length, input.constData() + facp + 4, 4);
        QByteArray facpTable = input.mid(facp, static_cast<int>(length));
        // FIRMWARE_CTRL and DSDT, and their 64-bit twins where the table has them.
        for (const auto& [name, offset, wide] : {std::tuple<const char*, int, int>{"FACS", 36, 132}, {"DSDT", 40, 140}}) {
            const uint32_t address = at.count(QLatin1String(name)) ? static_cast<uint32_t>(fuzz::kTableArea) + at[QLatin1String(name)] : 0;
            fuzz::Put32(facpTable, offset, address);
            if (facpTable.size() >= wide + 8) {
                fuzz::Put32(facpTable, wide, address);
                fuzz::Put32(facpTable, wide + 4, 0);
            }
        }
        fuzz::Seal(facpTable, 9, facpTable.size());
        input.replace(facp, facpTable.size(), facpTable);
    }
    return input;
}

[[maybe_unused]] static fuzz::Seeds Seeds()
{
    return {
        {"qemu-pc", Layout("qemu-pc", {"FACP", "APIC", "HPET", "WAET", "DSDT", "FACS"})},
        {"host-vm", Layout("host-vm", {"FACP", "APIC", "MCFG", "DSDT"})},
        {"host-vm-mcfg", Layout("host-vm", {"MCFG"})},
    };
}

#ifdef VELOCREST_LIBFUZZER
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Start();
    return 0;
}
#else
int main(int argc, char** argv) { return fuzz::Main(argc, argv, 4096, &Start, &Seeds); }
#endif
