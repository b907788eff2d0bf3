// The Stability Test page's run: start and stop, and the one-second tick that
// counts down and collects what the test centre queued.
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>

#include <memory>

#include "Engine/LogCheck.h"
#include "Platform/Time.h"
#include "QVXLogic/TestCenter.h"
#include "Shell/GlobalFlags.h"
#include "Shell/MessageBox.h"
#include "Testing/StabilityTest.h"
#include "Testing/StabilityTexts.h"
#include "Testing/StatusLabel.h"

namespace {

QString Now() { return QDateTime::currentDateTime().toString(Qt::TextDate); }

bool IsValidError(const ERROR_MESSAGE& error)
{
    return error.eErrorMessage > emcInvalid && error.eErrorMessage < emcTotal;
}

// The type of a record's case, kept within the name table (a record may carry no
// case, or one of a type the table does not know).
TEST_CASE_TYPE TypeOf(IStabilityTestCase* pTestCase)
{
    const TEST_CASE_TYPE eType = pTestCase ? pTestCase->GetType() : tctInvalid;
    return eType > tctInvalid && eType < tctTotal ? eType : tctInvalid;
}

} // namespace

void QStabilityTest::StartTest()
{
    const QString title = tr("Stability Test");
    if (g_bTestRunning) {
        msgbox::Show(nullptr, QMessageBox::Information, title, tr("Auto Clock is running, please stop it first!"));
        return;
    }
    // Only informs: the run starts however the user closes the box; but not when
    // nobody saw it (the program is ending).
    msgbox::Show(nullptr, QMessageBox::Information, title,
                 tr("This function may cause system hang, \nplease make sure all your important data is saved "
                    "before running it!"));
    if (!msgbox::LastAnswered())
        return;

    for (auto& [pCase, row] : m_TestCaseMap) {
        row.pCheckbox->setEnabled(false);
        if (row.pCheckbox->checkState() == Qt::Checked) {
            g_TestCenter.SetRepeatTimes(pCase, -1);
            row.pMinLabel->setText(QStringLiteral("999999999"));
            row.pMaxLabel->setText(QStringLiteral("0"));
            row.pCurrentLabel->setText(QStringLiteral("0"));
            row.pStatusLabel->setText(tr("Active"));
        } else {
            g_TestCenter.SetRepeatTimes(pCase, 0);
        }
    }

    // A centre that did not start tests nothing: say so rather than count down to
    // a run that looks clean.
    const bool bStarted = g_TestCenter.Start();
    if (!bStarted) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bStarted");
        _SetIdle();
        msgbox::Show(nullptr, QMessageBox::Warning, title, tr("Stability test could not start!"));
        return;
    }
    ui.btnRun->setText(tr("Stop"));
    ui.SelectAllBtn->setEnabled(false);
    ui.DurationSlider->setEnabled(false);
    m_uStartTick = plat::GetTickCount64();
    ui.textBrowser->append(QString());
    ui.textBrowser->append(tr("Stability test started at ") + Now());
    g_bTestRunning = true;
    m_RunTimer.start(1000, this);
}

void QStabilityTest::StopTest()
{
    const bool bOwnRun = IsRunning();
    m_RunTimer.stop();
    g_TestCenter.Stop();
    // What the workers found since the last tick (the run's last second, when its
    // time is up) still belongs to this run: shown, in order, before the stop line,
    // so nothing of it turns up in the next run.
    _TakeErrors("QStabilityTest::StopTest", false);
    _TakeResults();

    ui.textBrowser->append(tr("Stability test stopped at ") + Now());
    _SetIdle();
    // Only the flag this page set: Auto Clock's stays Auto Clock's.
    if (bOwnRun)
        g_bTestRunning = false;
}

void QStabilityTest::_SetIdle()
{
    ui.DurationSlider->setEnabled(true);
    ui.SelectAllBtn->setEnabled(true);
    ui.btnRun->setText(tr("Start"));
    ui.btnRun->setEnabled(_CheckedCount() != 0);
    ui.DurationLabel->setText(FormatDuration(ui.DurationSlider->value()));
    // A bar shows a run that lasts: with the run over, it goes back to empty.
    for (auto& [pCase, row] : m_TestCaseMap) {
        row.pCheckbox->setEnabled(true);
        row.pStatusLabel->m_dRatio = 0.0;
        row.pStatusLabel->setText(tr("Inactive"));
        row.pStatusLabel->update();
    }
}

void QStabilityTest::timerEvent(QTimerEvent*)
{
    if (!IsRunning())
        return;
    // A monotonic clock: setting the calendar back or forward does not move the end.
    const int64_t nElapsed = static_cast<int64_t>((plat::GetTickCount64() - m_uStartTick) / 1000);
    const int64_t nLimit = static_cast<int64_t>(ui.DurationSlider->value()) * 60;
    if (nElapsed > nLimit)
        StopTest();
    else
        ui.DurationLabel->setText(FormatDuration(static_cast<int>((nLimit - nElapsed) / 60 + 1)));

    // An error ends a run that is still going; after the time is up it only shows.
    const bool bWasRunning = IsRunning();
    const TakenErrors errors = _TakeErrors("QStabilityTest::timerEvent", true);
    if (!errors.bHalted)
        _TakeResults();
    if (errors.nShown > 0 && bWasRunning)
        StopTest();
}

QStabilityTest::TakenErrors QStabilityTest::_TakeErrors(const char* pszCaller, bool bHaltAtInvalid)
{
    TakenErrors taken;
    while (ERROR_MESSAGE* pRecord = g_TestCenter.PopError()) {
        const std::unique_ptr<ERROR_MESSAGE> pErrorMessage(pRecord);
        if (!IsValidError(*pErrorMessage)) {
            LOG_WRITE_CHECK_LINE_IN("LOG_PROCESS_ERROR",
                                    "pErrorMessage->eErrorMessage > emcInvalid && pErrorMessage->eErrorMessage < emcTotal",
                                    pszCaller);
            if (bHaltAtInvalid) {
                taken.bHalted = true;
                break;
            }
            continue;
        }
        _ShowError(*pErrorMessage);
        ++taken.nShown;
    }
    return taken;
}

void QStabilityTest::_TakeResults()
{
    while (TEST_RESULT* pRecord = g_TestCenter.PopResult()) {
        const std::unique_ptr<TEST_RESULT> pResult(pRecord);
        const auto it = m_TestCaseMap.find(pResult->pTestCase);
        // A hidden page drops what comes in.
        if (it != m_TestCaseMap.end() && isVisible())
            _ShowResult(it->second, pResult->dValue);
    }
}

void QStabilityTest::_ShowError(const ERROR_MESSAGE& error)
{
    const QString text = tr(g_ErrorMessageText[error.eErrorMessage]);
    ui.textBrowser->append(tr(g_TestCaseName[TypeOf(error.pTestCase)]) + QStringLiteral(" > ") + text);
    // The text is data, never the format.
    g_Log.Write(ltWarning, "%s", text.toLocal8Bit().constData());
}

void QStabilityTest::_ShowResult(const TEST_CASE_ROW& row, double dValue)
{
    row.pCurrentLabel->setText(QStringLiteral("%1 Hz").arg(dValue, 0, 'f', 3));
    // Minimum and maximum live only as the labels print them (six digits).
    const double dMin = row.pMinLabel->text().toDouble();
    double dMax = row.pMaxLabel->text().toDouble();
    if (dValue < dMin)
        row.pMinLabel->setNum(dValue);
    if (dValue > dMax) {
        row.pMaxLabel->setNum(dValue);
        dMax = dValue;
    }
    // Below the old minimum, or with minimum and maximum equal, this leaves 0..1:
    // the status cell holds its bar within the label.
    row.pStatusLabel->m_dRatio = (dValue - dMin) / (dMax - dMin);
    row.pStatusLabel->update();
}
