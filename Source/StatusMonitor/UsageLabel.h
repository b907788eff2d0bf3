#pragma once
// The usage graphs of the CPU and GPU Status pages: a label over the graph area's
// picture that samples its device's usage once a second while visible, keeps the
// samples in a ring and draws them (see UsageGraph.h). The page initialises the
// ring, sets the device index and starts the label's sampling.
#include <QLabel>

#include <vector>

#include "Shell/ShownTimer.h"
#include "StatusMonitor/CircleList.h"

class QUsageLabel : public QLabel {
    Q_OBJECT
public:
    CCircleList<double> m_UsageList;   // usage in percent; the page gives it 95 slots
    unsigned m_uIndex = 0;             // device index, 0 to 3

    // Samples once a second from now on, while the label is shown (a sample at
    // once when it is), so a hidden graph wakes nothing.
    void StartSampling() { m_Sampling.Arm(); }

protected slots:
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

protected:
    QUsageLabel() : QLabel(nullptr, Qt::WindowFlags()) {}
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    // The device's usage, 0 when the device is gone.
    virtual double _ReadUsage() = 0;
    virtual QString _Caption() const = 0;

private:
    // The ring's samples, oldest first.
    std::vector<double> _Samples();

    CShownTimer m_Sampling{this};
};

class QCPUUsageLabel : public QUsageLabel {
    Q_OBJECT
protected:
    double _ReadUsage() override;
    QString _Caption() const override { return tr("CPU%1").arg(m_uIndex); }
};

class QGPUUsageLabel : public QUsageLabel {
    Q_OBJECT
protected:
    double _ReadUsage() override;
    QString _Caption() const override { return tr("GPU%1").arg(m_uIndex); }
};
