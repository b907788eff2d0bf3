#include "Engine/Engine.h"
#include "Engine/LogCheck.h"

#include <map>
#include <mutex>

// Silicon revision and socket of each processor signature (CPUID function 1, EAX)
// of families 0Fh, 10h and 11h.
std::map<uint32_t, const char16_t*> g_RevisionList;
std::map<uint32_t, const char16_t*> g_PackageList;

namespace {

struct CpuInfoRow {
    uint32_t signature;
    const char16_t* revision;
    const char16_t* package;
};

const CpuInfoRow kCpuInfoRows[] = {
    {0x00000F48, u"KH-C0", u"Socket V754"},
    {0x00000F4A, u"KH-CG", u"Socket V754"},
    {0x00000F58, u"KS-C0", u"Socket V940"},
    {0x00000F5A, u"KS-CG", u"Socket V940"},
    {0x00000F68, u"KH-C0", u"Socket V754"},
    {0x00000F6A, u"KH-CG", u"Socket V754"},
    {0x00000F78, u"KS-C0", u"Socket V940"},
    {0x00000F7A, u"KH-CG", u"Socket V939"},
    {0x00000F8A, u"KS-CG", u"Socket V940"},
    {0x00000F9A, u"KH-CG", u"Socket V939"},
    {0x00000FC0, u"KD-CG", u"Socket V754"},
    {0x00000FD0, u"KD-CG", u"Socket V754"},
    {0x00000FFA, u"KD-CG", u"Socket V939"},
    {0x00010F00, u"KD-D0", u"Socket V939"},
    {0x00010F10, u"KD-D0", u"Socket V939"},
    {0x00010F40, u"KH-D0", u"Socket V754"},
    {0x00010F50, u"KS-D0", u"Socket V940"},
    {0x00010F60, u"KH-D0", u"Socket V754"},
    {0x00010F70, u"KS-D0", u"Socket V940"},
    {0x00010FC0, u"KD-D0", u"Socket V754"},
    {0x00010FD0, u"KD-D0", u"Socket V754"},
    {0x00010FF0, u"KD-D0", u"Socket V939"},
    {0x00020F12, u"KJ-E6", u"Socket V940"},
    {0x00020F22, u"KJ-E6", u"Socket V940"},
    {0x00020F32, u"KJ-E6", u"Socket V939"},
    {0x00020F42, u"KH-E3", u"Socket V754"},
    {0x00020F52, u"KS-E4", u"Socket V940"},
    {0x00020F62, u"KJ-E6", u"Socket V939"},
    {0x00020F71, u"KH-E4", u"Socket V939"},
    {0x00020F72, u"KH-E3", u"Socket V754"},
    {0x00020F81, u"KH-E4", u"Socket V939"},
    {0x00020F82, u"KS-E4", u"Socket V940"},
    {0x00020FB1, u"KB-E4", u"Socket V939"},
    {0x00020FC1, u"KB-E4", u"Socket V939"},
    {0x00020FC2, u"KD-E3", u"Socket V754"},
    {0x00020FD2, u"KD-E3", u"Socket V754"},
    {0x00020FF2, u"KD-E3", u"Socket V939"},
    {0x00040F12, u"KJ-F2", u"Socket VF1207"},
    {0x00040F13, u"KJ-F3", u"Socket VF1207"},
    {0x00040F22, u"KJ-F2", u"Socket VF1207"},
    {0x00040F23, u"KJ-F3", u"Socket VF1207"},
    {0x00040F32, u"KJ-F2", u"Socket VAM2"},
    {0x00040F33, u"KJ-F3", u"Socket VAM2"},
    {0x00040F82, u"KB-F2", u"Socket VS1g1"},
    {0x00040FB2, u"KB-F2", u"Socket VAM2"},
    {0x00040FC2, u"KD-F2", u"Socket VS1g1"},
    {0x00040FF2, u"KD-F2", u"Socket VAM2"},
    {0x00060F81, u"KG-G1", u"Socket VS1g1"},
    {0x00060F82, u"KG-G2", u"Socket VS1g1"},
    {0x00060FB1, u"KG-G1", u"Socket VAM2"},
    {0x00060FB2, u"KG-G2", u"Socket VAM2"},
    {0x00060FF2, u"KL-G2", u"Socket VAM2"},
    {0x00070FC2, u"KL-G2", u"Socket VS1g1"},
    {0x00070FF1, u"KL-G1", u"Socket VAM2"},
    {0x00070FF2, u"KL-G2", u"Socket VAM2"},
    {0x00100F02, u"TR-A2", u"Socket VAM2+"},
    {0x00100F0A, u"TR-BA", u"Socket VAM2+"},
    {0x00100F20, u"TA-A0", u"Socket VF1207"},
    {0x00100F21, u"TA-A1", u"Socket VF1207"},
    {0x00100F22, u"TA-B2", u"Socket VF1207"},
    {0x00100F23, u"TA-B3", u"Socket VF1207"},
    {0x00100F24, u"TR-B3", u"Socket VAM2+"},
    {0x00100F2A, u"TA-BA", u"Socket VF1207"},
    {0x00100F40, u"TH-C0", u"Socket VF1207"},
    {0x00100F41, u"TH-C1", u"Socket VF1207"},
    {0x00100F42, u"TR-C2", u"Socket VAM3"},
    {0x00100F43, u"TR-C3", u"Socket VAM3"},
    {0x00100F52, u"TB-C2", u"Socket VAM3"},
    {0x00100F53, u"TB-C3", u"Socket VAM3"},
    {0x00100F60, u"TD-C0", u"Socket VS1g1"},
    {0x00100F62, u"TD-C2", u"Socket VAM3"},
    {0x00100F63, u"TD-C3", u"Socket VAM3"},
    {0x00100F80, u"TK-D0", u"Socket VF1207"},
    {0x00100F81, u"TK-D1", u"Socket VF1207"},
    {0x00100F91, u"TK-D1", u"Socket VF1207"},
    {0x00100FA0, u"TL-E0", u"Socket VAM3"},
    {0x00200F30, u"LN-B0", u"Socket VS1g1"},
    {0x00200F31, u"LN-B1", u"Socket VS1g1"},
};
static_assert(std::size(kCpuInfoRows) == 78);

std::once_flag g_cpuInfoOnce;

} // namespace

void g_InitCPUInfo()
{
    std::call_once(g_cpuInfoOnce, [] {
        for (const CpuInfoRow& row : kCpuInfoRows) {
            g_RevisionList.emplace(row.signature, row.revision);
            g_PackageList.emplace(row.signature, row.package);
        }
    });
}

const char16_t* g_GetCPURevision(uint32_t signature)
{
    g_InitCPUInfo();
    const auto it = g_RevisionList.find(signature);
    LOG_PROCESS_ERROR_RET(it != g_RevisionList.end(), u"Unknown Revision");
    return it->second;
}

const char16_t* g_GetCPUPackage(uint32_t signature)
{
    g_InitCPUInfo();
    const auto it = g_PackageList.find(signature);
    LOG_PROCESS_ERROR_RET(it != g_PackageList.end(), u"Unknown Package");
    return it->second;
}
