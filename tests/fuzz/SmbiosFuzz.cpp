// Fuzz input: an SMBIOS structure table, placed behind an entry point in the BIOS area.
#include "FuzzBoard.h"
#include "FuzzMain.h"

#include "Engine/SMBIOS.h"

// The board and the driver, once for all inputs.
static void Start()
{
    fuzz::Start();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > fuzz::kTableAreaSize - 1)
        return 0;
    fuzz::ClearBiosArea();
    QByteArray entry(31, '\0');
    std::memcpy(entry.data(), "_SM_", 4);
    std::memcpy(entry.data() + 0x10, "_DMI_", 5);
    entry[0x16] = static_cast<char>(size & 0xFF);
    entry[0x17] = static_cast<char>(size >> 8);
    fuzz::Put32(entry, 0x18, static_cast<uint32_t>(fuzz::kTableArea));
    fuzz::Seal(entry, 4, 31);
    fuzz::LoadBiosArea(0xF0000, entry);
    fuzz::LoadTableArea(0, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    CSMBIOS smbios;
    smbios.Init();
    return 0;
}

#ifdef VELOCREST_LIBFUZZER
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    Start();
    return 0;
}
#else
int main(int argc, char** argv) { return fuzz::Main(argc, argv, 4096, &Start); }
#endif
