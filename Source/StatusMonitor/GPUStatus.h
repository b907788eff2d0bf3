#pragma once
// "GPU Status": engine and memory clocks, core voltage and temperature of up to
// four graphics chips, refreshed once a second while the page is shown, each chip
// with its usage graph.
#include "Shell/IQVXWidget.h"
#include "Shell/ShownTimer.h"
#include "ui_GPUStatus.h"

class IGPUDevice;

class QGPUStatus : public IQVXWidget {
    Q_OBJECT
public:
    QGPUStatus();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "GPU Status"; }

protected slots:
    void timerEvent(QTimerEvent* event) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Column {
        QLCDNumber* pEngine;
        QLCDNumber* pMemory;
        QLCDNumber* pVoltage;
        QLCDNumber* pTemperature;
    };
    Column _Column(int n) const;
    void _DisableUnreported(int n, IGPUDevice* pGPU);
    void _ShowGraphics(int n, IGPUDevice* pGPU);

    Ui::GPUStatusClass ui;
    CShownTimer m_Refresh{this};
};
