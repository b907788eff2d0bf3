// Fuzz input: the bytes of the ACPI tables. A revision-0 root pointer in the BIOS
// area points at the start of the input, so the input begins with the RSDT; its
// entries may point anywhere, also back into the input.
#include "FuzzBoard.h"
#include "FuzzMain.h"

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
    GetACPITable().Init();
    GetACPITable().UnInit();
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
