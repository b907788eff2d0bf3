// The Clock/Voltage page's three reads: the hardware's present values become the
// controls' positions (Discard, and after every Apply).
#include "PerformanceControl/AdvancedMode.h"

#include "PerformanceControl/AdvancedModeSupport.h"

using namespace advmode;

bool QAdvancedMode::ReadClock()
{
    ICPUDevice* pCPU = Cpu(0);
    LOG_PROCESS_ERROR(pCPU);
    const bool bPerCore = pCPU->IsPerCoreControlSupported();
    // Processor 0 is fetched again: a device refresh may have replaced it.
    pCPU = Cpu(0);
    LOG_CHECK_ERROR(pCPU);
    if (pCPU) {
        ui.CPUMulSlider->setSliderPosition(ToSlider(pCPU->GetCurrentMultiplier() * MultiplierScale(pCPU)));
        ui.CPUVidSlider->setValue(ToSlider(pCPU->GetCPUVid() * kVoltsToSlider));
        ui.NBVidSlider->setValue(ToSlider(pCPU->GetNBVid() * kVoltsToSlider));
    }
    if (bPerCore) {
        for (int core = 1; core < 4; ++core) {
            ICPUDevice* pCore = Cpu(static_cast<unsigned long>(core));
            QSlider* pSlider = _MulSlider(core);   // null when Init removed the row
            if (pCore && pSlider)
                pSlider->setSliderPosition(ToSlider(pCore->GetCurrentMultiplier() * MultiplierScale(pCore)));
        }
    }

    IHTLinkDevice* pHTLink = HTLink();
    LOG_CHECK_ERROR(pHTLink);
    if (pHTLink) {
        HT_LINK_INFO info = {};
        const bool bRetCode = pHTLink->GetLinkInfo(0, &info);
        LOG_CHECK_ERROR(bRetCode);
        ui.HTMulSlider->setSliderPosition(ToSlider(info.dLinkMultiplier));
    }

    IClockGeneratorDevice* pClockGen = ClockGen();
    LOG_CHECK_ERROR(pClockGen);
    if (pClockGen) {
        m_dHTRefClock = pClockGen->GetHTRefClock();
        m_dPCIeClock = pClockGen->GetPCIeClock();
        // Another page or a profile may have moved the clock: "raised" compares
        // with what the generator runs at now.
        m_dOldHTRefClock = m_dHTRefClock;
        if (m_bHasClockRanges) {
            if (ui.ExtSlider)
                ui.ExtSlider->setSliderPosition(ToSlider(m_dHTRefClock));
            if (ui.PCIESlider)
                ui.PCIESlider->setSliderPosition(ToSlider(m_dPCIeClock));
        } else {
            // A clock outside the list selects no entry rather than a wrong one.
            int idx = FindClock(m_ExtFreqs, m_nExtFreqCount, m_dHTRefClock);
            if (ui.comboBoxExtFreq)
                ui.comboBoxExtFreq->setCurrentIndex(idx < m_nExtFreqCount ? idx : -1);
            LOG_PROCESS_ERROR(idx < m_nExtFreqCount);
            idx = FindClock(m_PCIeFreqs, m_nPCIeFreqCount, m_dPCIeClock);
            if (ui.comboBoxPCIeFreq)
                ui.comboBoxPCIeFreq->setCurrentIndex(idx < m_nPCIeFreqCount ? idx : -1);
            LOG_PROCESS_ERROR(idx < m_nPCIeFreqCount);
        }
    }

    if (IGPUDevice* pGPU = Gpu()) {
        if (ui.IGPSlider->isEnabled())
            ui.IGPSlider->setValue(ToSlider(pGPU->GetEngineClock(0)));
        if (ui.SidePortSlider->isEnabled())
            ui.SidePortSlider->setValue(ToSlider(pGPU->GetSidePortClock()));
    }
    return true;
}

bool QAdvancedMode::ReadVoltage()
{
    if (m_bHasPWMController2) {
        IPWMController2Device* pPWMCtrl = Pwm2();
        LOG_CHECK_ERROR(pPWMCtrl);
        if (!pPWMCtrl)
            return true;
        for (int channel = 0; channel < pPWMCtrl->GetChannelCount() && channel < kRailCount; ++channel) {
            m_dVoltages[static_cast<size_t>(channel)] = pPWMCtrl->GetChannelVoltage(channel);
            static_cast<QSlider*>(m_VoltageRows[kSlider][channel])
                ->setSliderPosition(ToSlider(m_dVoltages[static_cast<size_t>(channel)]));
        }
        return true;
    }
    IPWMControllerDevice* pPWMCtrl = Pwm();
    LOG_CHECK_ERROR(pPWMCtrl);
    if (!pPWMCtrl)
        return true;
    m_dVoltages = {pPWMCtrl->GetMemVDDQ(),       pPWMCtrl->GetMemVTT(),        pPWMCtrl->GetCPUVDDC(),
                   pPWMCtrl->GetNBCoreVoltage(), pPWMCtrl->GetNBPCIEVoltage(), pPWMCtrl->GetCPUHTVoltage()};
    for (int rail = 0; rail < kRailCount; ++rail)
        static_cast<QSlider*>(m_VoltageRows[kSlider][rail])->setSliderPosition(ToSlider(m_dVoltages[static_cast<size_t>(rail)]));
    return true;
}

bool QAdvancedMode::ReadDutyCycle()
{
    if (!ui.DutyCycleGroup->isEnabled())
        return true;
    const std::array<QComboBox*, 6> boxes = _CalibrationBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) {
        const bool bRetCode = _GetItemValue(kCalibrationItems[i], boxes[i]);
        LOG_CHECK_ERROR(bRetCode);
        m_CalibrationRead[i] = boxes[i]->currentIndex();
    }
    return true;
}
