// The BIOS clock-calibration items of the Clock/Voltage page: six setup (CMOS)
// items of the south bridge, shown as combo boxes and written on Apply. A written
// item takes effect after a restart of the computer.
#include "PerformanceControl/AdvancedMode.h"

#include <cstring>

#include "Engine/CMOSItemList.h"
#include "PerformanceControl/AdvancedModeSupport.h"
#include "Shell/GlobalFlags.h"

using namespace advmode;

bool QAdvancedMode::_AddAllItem(QComboBox* pComboBox, const ABR_CMOS_GET_ITEM_INFO* pItemInfo)
{
    LOG_PROCESS_ERROR(pComboBox);
    LOG_PROCESS_ERROR(pItemInfo);
    const int count = std::min<int>(pItemInfo->ucOptionCount, CMOS_ITEM_MAX_OPTIONS);
    for (int i = 0; i < count; ++i) {
        const char* option = pItemInfo->szOptions[i];
        if (std::strncmp(option, "RESERVED", CMOS_OPTION_NAME_LENGTH) == 0)
            continue;   // a placeholder: the option's value is its position, so the data keeps it
        pComboBox->addItem(QString::fromLatin1(option, static_cast<qsizetype>(strnlen(option, CMOS_OPTION_NAME_LENGTH))), i);
    }
    return true;
}

bool QAdvancedMode::_GetItemValue(const char* pszItemName, QComboBox* pComboBox)
{
    LOG_PROCESS_ERROR(pszItemName);
    LOG_PROCESS_ERROR(pComboBox);
    const uint16_t usItemIndex = g_CMOSItemList.FindItem(pszItemName);
    LOG_PROCESS_ERROR(usItemIndex != 0xFFFF);
    const int value = g_CMOSItemList.GetItemValue(usItemIndex);
    // No matching option (or a failed read): no entry is selected.
    pComboBox->setCurrentIndex(pComboBox->findData(value));
    return true;
}

bool QAdvancedMode::_SetItemValue(const char* pszItemName, QComboBox* pComboBox)
{
    LOG_PROCESS_ERROR(pszItemName);
    LOG_PROCESS_ERROR(pComboBox);
    const uint16_t usItemIndex = g_CMOSItemList.FindItem(pszItemName);
    LOG_PROCESS_ERROR(usItemIndex != 0xFFFF);
    // A box without a selection holds no choice of the user's: nothing to write.
    const QVariant data = pComboBox->currentData();
    if (pComboBox->currentIndex() < 0 || !data.isValid())
        return true;
    const auto current = static_cast<uint8_t>(g_CMOSItemList.GetItemValue(usItemIndex));
    const auto value = static_cast<uint8_t>(data.toInt());
    if (value == current)
        return true;
    const bool bRetCode = g_CMOSItemList.SetItemValue(usItemIndex, value);
    LOG_PROCESS_ERROR(bRetCode);
    g_bRebootRequired = true;
    return true;
}

void QAdvancedMode::on_DCEnableBox_currentIndexChanged(int index)
{
    QWidget* allCores[2] = {ui.CPUAllCoreLabel, ui.DCAllCoreBox};
    QWidget* perCore[8] = {ui.CPUCore0Label, ui.DCCore0Box, ui.CPUCore1Label, ui.DCCore1Box,
                           ui.CPUCore2Label, ui.DCCore2Box, ui.CPUCore3Label, ui.DCCore3Box};
    if (index < 0 || index > 3)
        return;
    const bool bEnabled = index >= 2;
    for (QWidget* pWidget : allCores) {
        pWidget->setEnabled(bEnabled);
        pWidget->setVisible(index == 2);
    }
    for (QWidget* pWidget : perCore) {
        pWidget->setEnabled(bEnabled);
        pWidget->setVisible(index == 3);
    }
}

std::array<QComboBox*, 6> QAdvancedMode::_CalibrationBoxes() const
{
    return {ui.DCEnableBox, ui.DCAllCoreBox, ui.DCCore0Box, ui.DCCore1Box, ui.DCCore2Box, ui.DCCore3Box};
}

bool QAdvancedMode::WriteDutyCycle()
{
    if (!ui.DutyCycleGroup->isEnabled())
        return true;
    const std::array<QComboBox*, 6> boxes = _CalibrationBoxes();
    for (size_t i = 0; i < boxes.size(); ++i) {
        // The mode's choice decides, not whether the page happens to be on screen.
        if (i > 0 && boxes[i]->isHidden())
            continue;
        // A box the user left as read holds nothing to write: the item may have been
        // changed since by something else.
        if (boxes[i]->currentIndex() == m_CalibrationRead[i])
            continue;
        const bool bRetCode = _SetItemValue(kCalibrationItems[i], boxes[i]);
        LOG_CHECK_ERROR(bRetCode);
    }
    return true;
}
