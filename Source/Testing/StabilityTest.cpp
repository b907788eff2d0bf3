// The Stability Test page: its rows, its duration and its check boxes.
#include "Testing/StabilityTest.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

#include "Engine/LogCheck.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/TestCenter.h"
#include "Testing/StabilityTexts.h"
#include "Testing/StatusLabel.h"

namespace {

void SinkPanel(QLabel* pLabel)
{
    pLabel->setFrameShape(QFrame::Panel);
    pLabel->setFrameShadow(QFrame::Sunken);
}

QLabel* AddLabel(QGridLayout* pLayout, int nRow, int nColumn, const QString& text)
{
    auto* pLabel = new QLabel(nullptr, Qt::WindowFlags());
    pLabel->setText(text);
    SinkPanel(pLabel);
    pLayout->addWidget(pLabel, nRow, nColumn);
    return pLabel;
}

} // namespace

QStabilityTest::QStabilityTest() { ui.setupUi(this); }

QStabilityTest::~QStabilityTest()
{
    // A page deleted without UnInit still ends its own run.
    UnInit();
}

bool QStabilityTest::Init()
{
    for (unsigned long i = 0; i < g_DeviceManager.GetDeviceCount(dtCPU); ++i) {
        const int nCPU = static_cast<int>(i);
        IStabilityTestCase* pTestCPU = g_TestCenter.GetTestCase(tctCPU, nCPU);
        LOG_PROCESS_ERROR(pTestCPU);
        bool bRetCode = AddCase(pTestCPU, nCPU);
        LOG_PROCESS_ERROR(bRetCode);
        IStabilityTestCase* pTestFPU = g_TestCenter.GetTestCase(tctFPU, nCPU);
        LOG_PROCESS_ERROR(pTestFPU);
        bRetCode = AddCase(pTestFPU, nCPU);
        LOG_PROCESS_ERROR(bRetCode);
    }
    IStabilityTestCase* pTestCalculation = g_TestCenter.GetTestCase(tctCalculation, -1);
    LOG_PROCESS_ERROR(pTestCalculation);
    bool bRetCode = AddCase(pTestCalculation, -1);
    LOG_PROCESS_ERROR(bRetCode);
    IStabilityTestCase* pTestMCA = g_TestCenter.GetTestCase(tctMCA, -1);
    LOG_PROCESS_ERROR(pTestMCA);
    bRetCode = AddCase(pTestMCA, -1);
    LOG_PROCESS_ERROR(bRetCode);

    ui.btnRun->setEnabled(false);
    return true;
}

bool QStabilityTest::UnInit()
{
    // A rebuilt main window must not inherit a run nobody can stop, nor a flag
    // that keeps Auto Clock refusing for ever.
    if (IsRunning())
        StopTest();
    return true;
}

bool QStabilityTest::AddCase(IStabilityTestCase* pTestCase, int nCPU)
{
    LOG_PROCESS_ERROR(pTestCase);
    auto* pLayout = qobject_cast<QGridLayout*>(ui.CaseFrame->layout());
    LOG_PROCESS_ERROR(pLayout);
    const int nRow = pLayout->rowCount();
    const TEST_CASE_TYPE eType = pTestCase->GetType();
    LOG_PROCESS_ERROR(eType > tctInvalid && eType < tctTotal);

    TEST_CASE_ROW& row = m_TestCaseMap[pTestCase];
    row.pCheckbox = new QCheckBox(nullptr);
    row.pCheckbox->setChecked(false);
    QString name = tr(g_TestCaseName[eType]);
    if (nCPU != -1)
        name += QStringLiteral(" %1").arg(nCPU);
    row.pCheckbox->setText(name);
    pLayout->addWidget(row.pCheckbox, nRow, 0);
    connect(row.pCheckbox, &QCheckBox::stateChanged, this, &QStabilityTest::on_stateChanged);

    AddLabel(pLayout, nRow, 1, tr(g_TestCaseDescription[eType]));
    row.pMinLabel = AddLabel(pLayout, nRow, 2, QStringLiteral("999999999"));
    row.pMaxLabel = AddLabel(pLayout, nRow, 3, QStringLiteral("0"));
    row.pCurrentLabel = AddLabel(pLayout, nRow, 4, QStringLiteral("0"));

    row.pStatusLabel = new QStatusLabel;
    row.pStatusLabel->m_dRatio = 0.0;
    row.pStatusLabel->setText(tr("Inactive"));
    SinkPanel(row.pStatusLabel);
    pLayout->addWidget(row.pStatusLabel, nRow, 5);
    return true;
}

QString QStabilityTest::FormatDuration(int nMinutes)
{
    const int nDays = nMinutes / 1440, nHours = (nMinutes / 60) % 24, nRest = nMinutes % 60;
    QString text;
    if (nDays)
        text += (nDays == 1 ? tr("%1 Day ") : tr("%1 Days ")).arg(nDays);
    if (nHours)
        text += (nHours == 1 ? tr("%1 Hour ") : tr("%1 Hours ")).arg(nHours);
    if (nRest)
        text += (nRest == 1 ? tr("%1 Minute ") : tr("%1 Minutes ")).arg(nRest);
    return text;
}

void QStabilityTest::on_DurationSlider_valueChanged(int value) { ui.DurationLabel->setText(FormatDuration(value)); }

void QStabilityTest::on_SelectAllBtn_clicked()
{
    for (auto& [pCase, row] : m_TestCaseMap)
        row.pCheckbox->setCheckState(Qt::Checked);
}

void QStabilityTest::on_stateChanged(int)
{
    // Counted afresh from the boxes, so a rebuilt page never starts from a stale count.
    ui.btnRun->setEnabled(_CheckedCount() != 0);
}

int QStabilityTest::_CheckedCount() const
{
    int nCount = 0;
    for (const auto& [pCase, row] : m_TestCaseMap)
        nCount += row.pCheckbox->checkState() == Qt::Checked ? 1 : 0;
    return nCount;
}

void QStabilityTest::on_btnRun_clicked()
{
    // The run flag, not the caption: the form's caption and the page's own "Start"
    // are translated in different contexts and need not agree.
    if (!IsRunning())
        StartTest();
    else
        StopTest();
}
