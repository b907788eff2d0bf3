#pragma once
// "JY Pstate": the P-states of each family-10h processor (indicators, stepping,
// cycling) and a table of processor 0's P-state definitions in hexadecimal that
// is written into every processor when the page is torn down.
#include <QPushButton>

#include "QVXLogic/Records.h"
#include "Shell/IQVXWidget.h"
#include "Shell/ShownTimer.h"
#include "ui_PState.h"

class QLabel;
class QTreeWidgetItem;
class ICPUDevice;

// A row's button; it knows the processor row it belongs to.
class QButton : public QPushButton {
public:
    QButton() : QPushButton(nullptr) {}
    unsigned m_uCPUIndex = 0;
};

class QJYPState : public IQVXWidget {
    Q_OBJECT
public:
    static constexpr unsigned CPU_COUNT = 4;
    static constexpr int PSTATE_LABEL_COUNT = 5;   // indicators per row: P-states 0 to 4
    static constexpr int kMaxProbes = 10;

    struct CPU_ROW {
        bool bCycling;
        QLabel* pPstateLabel[PSTATE_LABEL_COUNT];
        QButton* pLeftButton;
        QButton* pRightButton;
        QButton* pPlayButton;
    };

    QJYPState();

    bool Init() override;
    bool UnInit() override;
    bool Apply() override { return true; }
    bool Discard() override;
    const char* GetName() override { return "JY Pstate"; }

    const CPU_ROW& Row(unsigned c) const { return m_CPURow[c]; }
    // "%1" in base 16, upper case, at least two digits; and the reverse (false: no number).
    static QString ToHex(double value);
    static bool FromHex(const QString& text, double& value);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Connected by hand to every row's button (plain functions, so the form's
    // connect-by-name does not look for objects of these names).
    void on_left_button_clicked();
    void on_right_button_clicked();
    void on_play_button_clicked();
    void _OnItemChanged(QTreeWidgetItem* pItem, int nColumn);
    bool AddCPU(unsigned uCPUIndex);
    void UpdatePstate();
    bool _Step(unsigned uCPUIndex, bool bForward);
    void _StepRowOfSender(bool bForward);
    QButton* _AddButton(unsigned uCPUIndex, const char* pszIcon, int nColumn, void (QJYPState::*slot)());
    void _SetToolTips(int nPstate, const PSTATE_INFO& info);
    bool _TableIsValid();
    bool _WriteTable();
    static unsigned _ProcessorCount();
    static int _IndicatorCount(ICPUDevice* pCPU);

    Ui::JYPStateClass ui;
    CPU_ROW m_CPURow[CPU_COUNT] = {};
    bool m_bFilling = false;   // the table is being loaded, not edited
    bool m_bEdited = false;    // the user changed the table since it was loaded
    CShownTimer m_Refresh{this};
};
