// The flash-cache page's form: the split slider, the enable button's question,
// the first show, and the S.M.A.R.T. status texts.
#include "SystemInfo/Corvane.h"

#include "Engine/LogCheck.h"
#include "Shell/MessageBox.h"

QCorvane::QCorvane()
{
    ui.setupUi(this);
}

void QCorvane::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    if (m_bIsInitialized || !m_bInitOnShow)
        return;
    m_bIsInitialized = Init();
    LOG_CHECK_ERROR(m_bIsInitialized);
}

void QCorvane::on_btnSettings_clicked() {}

void QCorvane::on_btnEnableReadyBoost_clicked()
{
    const auto answer = msgbox::Show(
        nullptr, QMessageBox::Warning, tr("Warning"),
        tr("To enable ready boost function, system needs to be restarted right away. Do you want to continue?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton);
    if (answer != QMessageBox::Yes)
        return;
    setCursor(Qt::WaitCursor);
    setCursor(Qt::ArrowCursor);
}

void QCorvane::on_sliderReadySize_valueChanged(int nValue)
{
    m_uModifiedFlags |= 0x2;
    ui.labelPercentage->setText(QStringLiteral("%1% / %2%").arg(nValue).arg(100 - nValue));
    // 64 bits in between: a flash size above 42 M units times 100 does not fit in 32.
    m_uReadyDriveSize = static_cast<uint32_t>(static_cast<uint64_t>(m_uFlashSize) * static_cast<uint32_t>(nValue) / 100);
    ui.labelRBoostSize->setText(QStringLiteral("%1").arg(m_uFlashSize - m_uReadyDriveSize));
    ui.labelRDriveSize->setText(QStringLiteral("%1").arg(m_uReadyDriveSize));
}

void QCorvane::on_checkBoxWriteThrough_stateChanged(int) { m_uModifiedFlags |= 0x1; }

void QCorvane::SetFlashSize(uint32_t uFlashSize)
{
    m_uFlashSize = uFlashSize;
    on_sliderReadySize_valueChanged(ui.sliderReadySize->value());
}

void QCorvane::InitSmartStatusTexts()
{
    // Bit 7 of the off-line status only says that automatic collection is on.
    const std::pair<uint8_t, const char*> offline[] = {
        {0x00, QT_TR_NOOP("Off-line data collection activity was never started.")},
        {0x02, QT_TR_NOOP("Off-line data collection activity was completed without error.")},
        {0x04, QT_TR_NOOP("Off-line data collection activity was suspended by an interrupting command from host.")},
        {0x05, QT_TR_NOOP("Off-line data collection activity was aborted by an interrupting command from host.")},
        {0x06, QT_TR_NOOP("Off-line data collection activity was aborted by the device with a fatal error.")},
    };
    for (const auto& [key, text] : offline) {
        m_OfflineStatusTexts[key] = tr(text);
        m_OfflineStatusTexts[static_cast<uint8_t>(key | 0x80)] = tr(text);
    }
    const std::pair<int, const char*> selfTest[] = {
        {0, QT_TR_NOOP("The previous self-test routine completed without error or no self-test has ever been run.")},
        {1, QT_TR_NOOP("The self-test routine was aborted by the host.")},
        {2, QT_TR_NOOP("The self-test routine was interrupted by the host with a hardware or software reset.")},
        {3, QT_TR_NOOP("A fatal error or unknown test error occurred while the device was executing its self-test "
                       "routineand the device was unable to complete the self-test routine.")},
        {4, QT_TR_NOOP("The previous self-test completed having a test element that failed and the test element that "
                       "failed is not known.")},
        {5, QT_TR_NOOP("The previous self-test completed having the electrical element of the test failed.")},
        {6, QT_TR_NOOP("The previous self-test completed having the servo (and/or seek) test element of the test failed.")},
        {7, QT_TR_NOOP("The previous self-test completed having the read element of the test failed.")},
        {15, QT_TR_NOOP("Self-test routine in progress.")},
    };
    for (const auto& [key, text] : selfTest)
        m_SelfTestStatusTexts[key] = tr(text);
}
