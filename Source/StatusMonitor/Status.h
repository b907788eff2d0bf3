#pragma once
// "CPU Status": clock, multiplier, voltage and temperature of up to four
// processor cores, refreshed once a second while the page is shown, each core
// with its usage graph.
#include "Shell/IQVXWidget.h"
#include "Shell/ShownTimer.h"
#include "ui_Status.h"

class ICPUDevice;

class QStatus : public IQVXWidget {
    Q_OBJECT
public:
    QStatus();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "CPU Status"; }

protected slots:
    void timerEvent(QTimerEvent* event) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Column {
        QLCDNumber* pFreq;
        QLCDNumber* pMul;
        QLCDNumber* pVol;
        QLCDNumber* pTemp;   // null once the temperature row is gone
    };
    Column _Column(int n) const;
    void _DeleteTemperatureWidgets();
    void _ShowProcessor(const Column& column, ICPUDevice* pCPU, int nFallback);

    Ui::StatusClass ui;
    CShownTimer m_Refresh{this};
};
