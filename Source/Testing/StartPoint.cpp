#include "Testing/StartPoint.h"

#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"

std::vector<CStartPoint::Core> CStartPoint::s_Cores;
double CStartPoint::s_dVoltage = 0;
bool CStartPoint::s_bTaken = false;

void CStartPoint::Take()
{
    if (s_bTaken)
        return;
    s_bTaken = true;
    for (unsigned long i = 0; i < g_DeviceManager.GetDeviceCount(dtCPU); ++i) {
        Core core;
        if (ICPUDevice* pCore = QvxGetDevice<ICPUDevice>(dtCPU, i)) {
            core.dMultiplier = pCore->GetCurrentMultiplier();
            // A processor without P-states reports none it could be in.
            const int nPstate = pCore->GetCurrentPstate();
            if (pCore->GetMaxPstateIndex() >= 0 && nPstate >= 0 && nPstate <= pCore->GetMaxPstateIndex())
                core.nPstate = nPstate;
            if (i == 0)
                s_dVoltage = pCore->GetCPUVid();
        }
        s_Cores.push_back(core);
    }
}

double CStartPoint::Multiplier(unsigned long nCore)
{
    return nCore < s_Cores.size() ? s_Cores[nCore].dMultiplier : 0;
}

int CStartPoint::Pstate(unsigned long nCore)
{
    return nCore < s_Cores.size() ? s_Cores[nCore].nPstate : -1;
}

double CStartPoint::Voltage() { return s_dVoltage > 0 ? s_dVoltage : 0; }
