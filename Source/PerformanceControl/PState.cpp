#include "PerformanceControl/PState.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QTimerEvent>
#include <QTreeWidgetItem>

#include <algorithm>
#include <cmath>

#include "Engine/LogCheck.h"
#include "Pages/DeviceLookup.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "Settings/SkinManager.h"
#include "Shell/GlobalFlags.h"
#include "Shell/MessageBox.h"

namespace {

constexpr char16_t kFamily10h[] = u"Vyk Family 10h Processor";
constexpr int kRawFieldCount = 7;

// The seven raw fields in the order of the table's columns 1 to 7.
double PSTATE_INFO::* const kRawFields[kRawFieldCount] = {
    &PSTATE_INFO::CpuFid, &PSTATE_INFO::CpuDid, &PSTATE_INFO::CpuVid, &PSTATE_INFO::NbDid,
    &PSTATE_INFO::NbVid,  &PSTATE_INFO::IddValue, &PSTATE_INFO::IddDiv};

QString ToolTip(const PSTATE_INFO& info)
{
    return QObject::tr("Frequency\t%1 MHz\nVoltage\t%2 V\nNb Frequency\t%3 MHz\nNb Voltage\t%4 V")
        .arg(info.dFrequency)
        .arg(info.dVoltage)
        .arg(info.dNbFrequency)
        .arg(info.dNbVoltage);
}

void Colour(QLabel* pLabel, bool bCurrent)
{
    QPalette palette = pLabel->palette();
    const QBrush brush(bCurrent ? Qt::green : Qt::gray, Qt::SolidPattern);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setBrush(group, QPalette::Window, brush);
    pLabel->setPalette(palette);
}

QIcon Icon(const char* pszName)
{
    // The row buttons take their pictures from the skin in use.
    return QIcon(g_SkinManager.GetFilePath(QStringLiteral("images/") + QLatin1String(pszName)));
}

} // namespace

QJYPState::QJYPState()
{
    ui.setupUi(this);
    connect(ui.treeWidget, &QTreeWidget::itemChanged, this, &QJYPState::_OnItemChanged);
}

QString QJYPState::ToHex(double value)
{
    return QStringLiteral("%1").arg(static_cast<long long>(value), 2, 16, QLatin1Char('0')).toUpper();
}

bool QJYPState::FromHex(const QString& text, double& value)
{
    bool bOk = false;
    const qulonglong number = text.trimmed().toULongLong(&bOk, 16);
    if (bOk)
        value = static_cast<double>(number);
    return bOk;
}

unsigned QJYPState::_ProcessorCount()
{
    return static_cast<unsigned>(g_DeviceManager.GetDeviceCount(kFamily10h));
}

int QJYPState::_IndicatorCount(ICPUDevice* pCPU)
{
    // A row has room for five indicators; more P-states are left out of it.
    return std::clamp(pCPU->GetMaxPstateIndex() + 1, 0, PSTATE_LABEL_COUNT);
}

bool QJYPState::Init()
{
    const unsigned n = _ProcessorCount();
    if (n == 0)
        return false;
    for (unsigned c = 0; c < n; ++c) {
        const bool bRetCode = AddCPU(c);
        LOG_PROCESS_ERROR(bRetCode);
    }
    const bool bRetCode = Discard();
    LOG_PROCESS_ERROR(bRetCode);
    m_Refresh.Arm();
    return true;
}

QButton* QJYPState::_AddButton(unsigned uCPUIndex, const char* pszIcon, int nColumn, void (QJYPState::*slot)())
{
    auto* pButton = new QButton;
    pButton->m_uCPUIndex = uCPUIndex;
    pButton->setIcon(Icon(pszIcon));
    pButton->setFixedWidth(40);
    auto* pLayout = static_cast<QGridLayout*>(ui.PstateFrame->layout());
    pLayout->addWidget(pButton, pLayout->rowCount() - 1, nColumn);
    connect(pButton, &QPushButton::clicked, this, slot);
    return pButton;
}

bool QJYPState::AddCPU(unsigned uCPUIndex)
{
    LOG_PROCESS_ERROR(uCPUIndex < CPU_COUNT);
    auto* pLayout = qobject_cast<QGridLayout*>(ui.PstateFrame->layout());
    LOG_PROCESS_ERROR(pLayout);
    ICPUDevice* pCPU = dev::Cpu(uCPUIndex);
    LOG_PROCESS_ERROR(pCPU);

    // An empty grid still counts one row.
    const int r = pLayout->count() == 0 ? 0 : pLayout->rowCount();
    pLayout->addWidget(new QLabel(tr("CPU %1").arg(uCPUIndex)), r, 0);
    CPU_ROW& row = m_CPURow[uCPUIndex];
    const int nCurrent = pCPU->GetCurrentPstate();
    const int nIndicators = _IndicatorCount(pCPU);
    for (int i = 0; i < nIndicators; ++i) {
        PSTATE_INFO info{};
        const bool bRetCode = pCPU->GetPstateInfo(i, &info);
        LOG_PROCESS_ERROR(bRetCode);
        auto* pLabel = new QLabel(QStringLiteral("%1").arg(i));
        pLabel->setMinimumWidth(32);
        pLabel->setFrameShape(QFrame::Box);
        pLabel->setAlignment(Qt::AlignCenter);
        pLabel->setAutoFillBackground(true);
        // The skin's light label text would win over the palette and vanish on the
        // light fills: a rule of the label's own keeps the digit black.
        pLabel->setStyleSheet(QStringLiteral("QLabel { color: black; }"));
        Colour(pLabel, i == nCurrent);
        pLabel->setToolTip(ToolTip(info));
        pLayout->addWidget(pLabel, r, i + 1);
        row.pPstateLabel[i] = pLabel;
    }
    const int nMax = pCPU->GetMaxPstateIndex();
    const int nButtons = std::min(nMax, PSTATE_LABEL_COUNT - 1);
    row.pLeftButton = _AddButton(uCPUIndex, "left_arrow.png", nButtons + 2, &QJYPState::on_left_button_clicked);
    row.pRightButton = _AddButton(uCPUIndex, "right_arrow.png", nButtons + 3, &QJYPState::on_right_button_clicked);
    row.pPlayButton = _AddButton(uCPUIndex, "play.png", nButtons + 4, &QJYPState::on_play_button_clicked);
    pLayout->setColumnStretch(nButtons + 5, 1);   // the rows stay compact on the left
    return true;
}

void QJYPState::_SetToolTips(int nPstate, const PSTATE_INFO& info)
{
    if (nPstate < 0 || nPstate >= PSTATE_LABEL_COUNT)
        return;
    for (CPU_ROW& row : m_CPURow)
        if (QLabel* pLabel = row.pPstateLabel[nPstate])
            pLabel->setToolTip(ToolTip(info));
}

bool QJYPState::Discard()
{
    ICPUDevice* pCPU = dev::Cpu(0);
    LOG_PROCESS_ERROR(pCPU);
    m_bFilling = true;
    ui.treeWidget->clear();
    bool bResult = true;
    for (int i = 0; i <= pCPU->GetMaxPstateIndex(); ++i) {
        PSTATE_INFO info{};
        const bool bRetCode = pCPU->GetPstateInfo(i, &info);
        if (!bRetCode) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            bResult = false;
            break;
        }
        auto* pTreeItem = new QTreeWidgetItem(ui.treeWidget);
        pTreeItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        pTreeItem->setCheckState(0, info.bEnabled ? Qt::Checked : Qt::Unchecked);
        pTreeItem->setData(0, Qt::UserRole, info.bEnabled);
        pTreeItem->setText(0, tr("Pstate %1").arg(i));
        for (int f = 0; f < kRawFieldCount; ++f) {
            // What was read stays beside the cell, so a write knows what the user edited.
            pTreeItem->setText(f + 1, ToHex(info.*kRawFields[f]));
            pTreeItem->setData(f + 1, Qt::UserRole, pTreeItem->text(f + 1));
        }
        _SetToolTips(i, info);
    }
    ui.treeWidget->expandAll();
    for (int column = 0; column < ui.treeWidget->columnCount(); ++column)
        ui.treeWidget->setColumnWidth(column, 80);
    ui.treeWidget->setMinimumWidth(650);
    m_bFilling = false;
    m_bEdited = false;
    return bResult;
}

void QJYPState::_OnItemChanged(QTreeWidgetItem* pItem, int nColumn)
{
    if (m_bFilling)
        return;
    m_bEdited = true;
    if (nColumn < 1)
        return;
    // A cell that is no hexadecimal number is marked at once; nothing is written while one is.
    double value = 0;
    const bool bValid = FromHex(pItem->text(nColumn), value);
    m_bFilling = true;
    pItem->setBackground(nColumn, bValid ? QBrush() : QBrush(QColor(255, 128, 128)));
    pItem->setToolTip(nColumn, bValid ? QString() : tr("Not a hexadecimal number"));
    m_bFilling = false;
}

bool QJYPState::_TableIsValid()
{
    bool bValid = true;
    for (int i = 0; i < ui.treeWidget->topLevelItemCount(); ++i)
        for (int f = 1; f <= kRawFieldCount; ++f) {
            double value = 0;
            if (!FromHex(ui.treeWidget->topLevelItem(i)->text(f), value)) {
                _OnItemChanged(ui.treeWidget->topLevelItem(i), f);
                bValid = false;
            }
        }
    return bValid;
}

bool QJYPState::UnInit()
{
    // Only an edited table is written: a teardown after Cancel or a language
    // change leaves the processors' definitions alone.
    if (!m_bEdited)
        return true;
    // A cell that is no number refuses the whole table (it stays marked on screen)
    // rather than writing a guessed value into the processors.
    const bool bValid = _TableIsValid();
    LOG_PROCESS_ERROR(bValid);
    const bool bWritten = _WriteTable();
    const bool bReloaded = Discard();
    return bWritten && bReloaded;
}

bool QJYPState::_WriteTable()
{
    const unsigned n = _ProcessorCount();
    for (unsigned c = 0; c < n; ++c) {
        ICPUDevice* pCPU = dev::Cpu(c);
        LOG_PROCESS_ERROR(pCPU);
        for (int i = 0; i <= pCPU->GetMaxPstateIndex(); ++i) {
            PSTATE_INFO info{};
            bool bRetCode = pCPU->GetPstateInfo(i, &info);
            LOG_PROCESS_ERROR(bRetCode);
            QTreeWidgetItem* pTreeItem = ui.treeWidget->topLevelItem(i);
            LOG_PROCESS_ERROR(pTreeItem);
            // Only the cells the user edited: every other field keeps what the
            // processor holds now, which may have changed since the table was read.
            for (int f = 0; f < kRawFieldCount; ++f)
                if (pTreeItem->text(f + 1) != pTreeItem->data(f + 1, Qt::UserRole).toString())
                    FromHex(pTreeItem->text(f + 1), info.*kRawFields[f]);
            const bool bEnabled = pTreeItem->checkState(0) == Qt::Checked;
            if (bEnabled != pTreeItem->data(0, Qt::UserRole).toBool())
                info.bEnabled = bEnabled;
            bRetCode = pCPU->SetPstateInfo(i, &info);
            LOG_PROCESS_ERROR(bRetCode);
            bRetCode = pCPU->GetPstateInfo(i, &info);
            LOG_PROCESS_ERROR(bRetCode);
            if (c < CPU_COUNT && i < PSTATE_LABEL_COUNT && m_CPURow[c].pPstateLabel[i])
                m_CPURow[c].pPstateLabel[i]->setToolTip(ToolTip(info));
        }
    }
    return true;
}

bool QJYPState::_Step(unsigned uCPUIndex, bool bForward)
{
    ICPUDevice* pCPU = dev::Cpu(uCPUIndex);
    LOG_PROCESS_ERROR(pCPU);
    const int nCount = pCPU->GetMaxPstateIndex() + 1;
    LOG_PROCESS_ERROR(nCount > 0);
    int p = pCPU->GetCurrentPstate();
    bool bEnabled = false;
    for (int probe = 0; probe < kMaxProbes && !bEnabled; ++probe) {
        p = bForward ? (p + 1) % nCount : (p - 1 < 0 ? nCount - 1 : p - 1);
        PSTATE_INFO info{};
        const bool bRetCode = pCPU->GetPstateInfo(p, &info);
        LOG_PROCESS_ERROR(bRetCode);
        bEnabled = info.bEnabled;
    }
    // No enabled P-state at all: the processor stays where it is.
    LOG_PROCESS_ERROR(bEnabled);
    const bool bRetCode = pCPU->SetPstate(p);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

void QJYPState::UpdatePstate()
{
    const unsigned n = std::min(_ProcessorCount(), CPU_COUNT);
    for (unsigned c = 0; c < n; ++c) {
        ICPUDevice* pCPU = dev::Cpu(c);
        if (!pCPU) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pCPU");
            return;
        }
        const int nCurrent = pCPU->GetCurrentPstate();
        for (int i = 0; i < PSTATE_LABEL_COUNT; ++i)
            if (QLabel* pLabel = m_CPURow[c].pPstateLabel[i])
                Colour(pLabel, i == nCurrent);
    }
}

void QJYPState::on_left_button_clicked() { _StepRowOfSender(false); }

void QJYPState::on_right_button_clicked() { _StepRowOfSender(true); }

void QJYPState::_StepRowOfSender(bool bForward)
{
    auto* pButton = dynamic_cast<QButton*>(sender());
    if (!pButton) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pButton");
        return;
    }
    _Step(pButton->m_uCPUIndex, bForward);
    UpdatePstate();
}

void QJYPState::on_play_button_clicked()
{
    auto* pButton = dynamic_cast<QButton*>(sender());
    if (!pButton || pButton->m_uCPUIndex >= CPU_COUNT) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pButton");
        return;
    }
    CPU_ROW& row = m_CPURow[pButton->m_uCPUIndex];
    row.bCycling = !row.bCycling;
    row.pPlayButton->setIcon(Icon(row.bCycling ? "stop.png" : "play.png"));
}

void QJYPState::timerEvent(QTimerEvent*)
{
    // While a stability test or Auto Clock runs, the P-states are theirs.
    if (!isVisible() || g_bTestRunning || _ProcessorCount() == 0)
        return;
    for (unsigned c = 0; c < CPU_COUNT; ++c)
        if (m_CPURow[c].bCycling && !_Step(c, true))
            return;
    UpdatePstate();
}

void QJYPState::hideEvent(QHideEvent* event)
{
    IQVXWidget::hideEvent(event);
    m_Refresh.Hidden();
}

void QJYPState::showEvent(QShowEvent* event)
{
    IQVXWidget::showEvent(event);
    if (_ProcessorCount() == 0)
        return;
    // The definitions may have changed while the page was hidden: an unedited
    // table shows what the processor holds now.
    if (!m_bEdited) {
        const bool bRetCode = Discard();
        LOG_CHECK_ERROR(bRetCode);
    }
    // A tick would also step the cycling rows: the showing only shows.
    m_Refresh.Resume();
    UpdatePstate();
    const bool bEnable = !g_bTestRunning;
    for (CPU_ROW& row : m_CPURow)
        for (QButton* pButton : {row.pLeftButton, row.pRightButton, row.pPlayButton})
            if (pButton)
                pButton->setEnabled(bEnable);
    ui.treeWidget->setEnabled(bEnable);
    if (!bEnable)
        msgbox::Show(this, QMessageBox::Information, tr("Vyk Velocrest"),
                     tr("Pstate cannot be changed while stability test or auto clock is running."), QMessageBox::Ok);
}
