#include "Testing/StartMultipliers.h"

#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"

std::vector<double> CStartMultipliers::s_Multipliers;
bool CStartMultipliers::s_bTaken = false;

void CStartMultipliers::Take()
{
    if (s_bTaken)
        return;
    s_bTaken = true;
    for (unsigned long i = 0; i < g_DeviceManager.GetDeviceCount(dtCPU); ++i) {
        ICPUDevice* pCore = QvxGetDevice<ICPUDevice>(dtCPU, i);
        s_Multipliers.push_back(pCore ? pCore->GetCurrentMultiplier() : 0);
    }
}

double CStartMultipliers::Get(unsigned long nCore)
{
    return nCore < s_Multipliers.size() ? s_Multipliers[nCore] : 0;
}
