#include "Testing/PerformanceTest.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <climits>
#include <string_view>

#include "Engine/LogCheck.h"
#include "Platform/Registry.h"
#include "QVXLogic/DeviceManager.h"

bool g_bBenchmarkRunning = false;

namespace {

constexpr char16_t kMRUKey[] = u"Software\\Vyk\\Vyk Velocrest\\BenchmarkMRU";
constexpr int kTickMs = 500;
// Abort and teardown wait this long for the threads; the testers stop within milliseconds.
constexpr qint64 kStopWaitMs = 250;

// The registry value of each item, in the order they are read and written.
struct ITEM {
    const char16_t* pszValue;
    QCheckBox* Ui::PerformanceTestClass::*pBox;
};
constexpr ITEM kItems[] = {
    {u"IntComputation", &Ui::PerformanceTestClass::checkBoxInteger},
    {u"FPComputation", &Ui::PerformanceTestClass::checkBoxFP},
    {u"Memory", &Ui::PerformanceTestClass::checkBoxMemory},
    {u"Cache", &Ui::PerformanceTestClass::checkBoxCache},
};

QString ScoreText(qint64 nScore) { return QStringLiteral("%1 ").arg(nScore); }

} // namespace

QPerformanceTest::QPerformanceTest() : m_pTimer(std::make_unique<QTimer>())
{
    ui.setupUi(this);
}

QPerformanceTest::~QPerformanceTest()
{
    m_pTimer.reset();
    _StopThreads();
    _SetRunning(false);
    m_pCalcPIThread.clear();   // each waits for its thread before it goes
}

bool QPerformanceTest::Init()
{
    IDevice* pCPU = g_DeviceManager.GetDevice(dtCPU, 0);
    LOG_PROCESS_ERROR(pCPU);
    const char16_t* pszVendor = pCPU->GetVendor();
    if (!pszVendor || std::u16string_view(pszVendor) != std::u16string_view(QVX_CPU_VENDOR))
        return false;
    LOG_PROCESS_ERROR(m_pTimer);
    m_pTimer->setInterval(kTickMs);
    connect(m_pTimer.get(), &QTimer::timeout, this, &QPerformanceTest::UpdateProgressBar, Qt::UniqueConnection);
    m_nProgress = 0;
    m_nCPUCount = std::max(1ul, g_DeviceManager.GetDeviceCount(dtCPU));
    // One load thread per further processor, but never more than this computer has
    // processors to run them: more would only slow the measured thread down.
    const unsigned nHost = static_cast<unsigned>(std::max(1, QThread::idealThreadCount()));
    const unsigned nLoad = std::min(m_nCPUCount, nHost) - 1;
    m_pCalcPIThread.clear();
    for (unsigned i = 0; i < nLoad; ++i)
        m_pCalcPIThread.push_back(std::make_unique<CalcPIThread>());
    m_PerformanceTestThread.SetCoreCount(static_cast<int>(std::min<unsigned>(m_nCPUCount, INT_MAX)));
    ReadSettings();
    return true;
}

// A run still going is ended first: no thread object is freed while its thread runs.
bool QPerformanceTest::UnInit()
{
    if (m_bRunning) {
        _FinishTest(true);
        _SetCheckBoxesEnabled(true);
    }
    m_pTimer->stop();
    _StopThreads();
    m_pCalcPIThread.clear();
    return true;
}

bool QPerformanceTest::AnyThreadBusy() const
{
    if (m_PerformanceTestThread.IsBusy())
        return true;
    return std::any_of(m_pCalcPIThread.begin(), m_pCalcPIThread.end(),
                       [](const std::unique_ptr<CalcPIThread>& p) { return p->IsBusy(); });
}

void QPerformanceTest::on_checkBoxCache_stateChanged(int nState) { _CountCheckBox(nState); }
void QPerformanceTest::on_checkBoxMemory_stateChanged(int nState) { _CountCheckBox(nState); }
void QPerformanceTest::on_checkBoxFP_stateChanged(int nState) { _CountCheckBox(nState); }
void QPerformanceTest::on_checkBoxInteger_stateChanged(int nState) { _CountCheckBox(nState); }

void QPerformanceTest::_CountCheckBox(int nState)
{
    m_nCheckedCount += nState ? 1 : -1;
    UpdateUI();
}

// Run needs an item and the last run's threads to have ended; Abort is always there.
void QPerformanceTest::UpdateUI()
{
    ui.btnRun->setEnabled(m_bRunning || (m_nCheckedCount != 0 && !AnyThreadBusy()));
    ui.labelSysPerf->setEnabled(m_nCheckedCount == 4);
    ui.lcdNumber->setEnabled(m_nCheckedCount == 4);
}

void QPerformanceTest::on_btnRun_clicked()
{
    if (m_bRunning) {
        _FinishTest(true);
        _SetCheckBoxesEnabled(true);
        return;
    }
    if (m_nCheckedCount == 0 || AnyThreadBusy())
        return;
    _StartTest();
}

void QPerformanceTest::_StartTest()
{
    _SetRunning(true);
    ui.btnRun->setText(tr("Abort"));
    _SetCheckBoxesEnabled(false);
    ui.lcdNumber->display(0);
    for (QLabel* pLabel : {ui.labelInteger, ui.labelFP, ui.labelMemory, ui.labelCache})
        pLabel->setText(QStringLiteral("0"));
    m_PerformanceTestThread.SetIntegerEnabled(ui.checkBoxInteger->isChecked());
    m_PerformanceTestThread.SetFPEnabled(ui.checkBoxFP->isChecked());
    m_PerformanceTestThread.SetMemoryEnabled(ui.checkBoxMemory->isChecked());
    m_PerformanceTestThread.SetCacheEnabled(ui.checkBoxCache->isChecked());
    m_bRunAllItems = m_nCheckedCount == 4;
    m_nProgress = 0;
    m_pTimer->start();
    for (const std::unique_ptr<CalcPIThread>& pThread : m_pCalcPIThread)
        pThread->Start(QThread::HighestPriority);
    m_PerformanceTestThread.StartRun();
    UpdateUI();
}

void QPerformanceTest::UpdateProgressBar()
{
    if (!m_bRunning) {
        // Only the threads of an ended run are left to wait for.
        if (!AnyThreadBusy()) {
            m_pTimer->stop();
            UpdateUI();
        }
        return;
    }
    m_nProgress += 10;
    ui.progressBar->setValue(m_nProgress);
    if (m_nProgress >= ui.progressBar->maximum()) {
        m_nProgress = 0;
        ui.progressBar->reset();
    }
    if (m_PerformanceTestThread.IsFinished()) {
        _FinishTest(false);
        m_nProgress = 0;
    }
}

void QPerformanceTest::_FinishTest(bool bAborted)
{
    m_pTimer->stop();
    _SetRunning(false);
    // A completed run's load threads may still be busy: their work is no longer wanted.
    const bool bEnded = _StopThreads();
    if (bAborted) {
        ui.progressBar->reset();
    } else {
        ui.progressBar->setValue(ui.progressBar->maximum());
        _SetCheckBoxesEnabled(true);
        ui.labelInteger->setText(ScoreText(qint64(m_PerformanceTestThread.GetIntegerScore()) * 10));
        ui.labelFP->setText(ScoreText(m_PerformanceTestThread.GetFPScore()));
        ui.labelMemory->setText(ScoreText(qint64(m_PerformanceTestThread.GetMemoryScore()) * 10));
        ui.labelCache->setText(ScoreText(qint64(m_PerformanceTestThread.GetCacheScore()) * 10));
        // The run's own selection decides, not boxes a Discard may have changed since.
        if (m_bRunAllItems)
            ui.lcdNumber->display(m_PerformanceTestThread.GetTotalScore());
    }
    ui.btnRun->setText(tr("Run"));
    if (!bEnded)
        m_pTimer->start();   // Run comes back once the last thread has ended
    if (m_bReadPending) {
        m_bReadPending = false;
        ReadSettings();
    }
    UpdateUI();
}

bool QPerformanceTest::_StopThreads()
{
    m_PerformanceTestThread.RequestStop();
    for (const std::unique_ptr<CalcPIThread>& pThread : m_pCalcPIThread)
        pThread->RequestStop();
    const QDeadlineTimer deadline(kStopWaitMs);
    bool bEnded = m_PerformanceTestThread.Stop(static_cast<unsigned long>(std::max<qint64>(0, deadline.remainingTime())));
    for (const std::unique_ptr<CalcPIThread>& pThread : m_pCalcPIThread)
        bEnded = pThread->Stop(static_cast<unsigned long>(std::max<qint64>(0, deadline.remainingTime()))) && bEnded;
    return bEnded;
}

void QPerformanceTest::_SetCheckBoxesEnabled(bool bEnabled)
{
    for (const ITEM& item : kItems)
        (ui.*item.pBox)->setEnabled(bEnabled);
}

void QPerformanceTest::_SetRunning(bool bRunning)
{
    if (m_bRunning || bRunning)
        g_bBenchmarkRunning = bRunning;
    m_bRunning = bRunning;
}

// A read during a run waits for its end: it would change the boxes the run was started with.
bool QPerformanceTest::ReadSettings()
{
    if (m_bRunning) {
        m_bReadPending = true;
        return true;
    }
    plat::RegistryKey key;
    if (key.Open(plat::RegistryHive::CurrentUser, kMRUKey) != plat::ERROR_SUCCESS)
        return false;
    bool bAllRead = true;
    for (const ITEM& item : kItems) {
        uint32_t uValue = 0;
        const bool bRead = key.QueryDword(item.pszValue, uValue) == plat::ERROR_SUCCESS;
        if (bRead && bAllRead)
            (ui.*item.pBox)->setChecked((uValue & 0xFF) != 0);
        bAllRead = bAllRead && bRead;
    }
    key.Close();
    return bAllRead;
}

bool QPerformanceTest::WriteSettings()
{
    plat::RegistryKey key;
    if (key.Open(plat::RegistryHive::CurrentUser, kMRUKey) != plat::ERROR_SUCCESS
        && key.Create(plat::RegistryHive::CurrentUser, kMRUKey) != plat::ERROR_SUCCESS)
        return false;
    bool bAllWritten = true;
    for (const ITEM& item : kItems)
        bAllWritten = key.SetDword(item.pszValue, (ui.*item.pBox)->isChecked() ? 1u : 0u) == plat::ERROR_SUCCESS
                      && bAllWritten;
    key.Close();
    return bAllWritten;
}
