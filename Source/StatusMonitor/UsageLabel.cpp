#include "StatusMonitor/UsageLabel.h"

#include <QPainter>

#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/GpuDevice.h"
#include "StatusMonitor/UsageGraph.h"

void QUsageLabel::timerEvent(QTimerEvent*)
{
    // A hidden graph pauses: it takes no sample and goes on where it stopped.
    if (!isVisible())
        return;
    m_UsageList.Push(UsageSample(_ReadUsage()));
    update();
}

void QUsageLabel::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    m_Sampling.Shown();
}

void QUsageLabel::hideEvent(QHideEvent* event)
{
    QLabel::hideEvent(event);
    m_Sampling.Hidden();
}

void QUsageLabel::paintEvent(QPaintEvent*)
{
    // Replaces the label's own painting: only the graph goes over the picture beneath.
    std::vector<double> samples;
    for (const double* p = m_UsageList.GetFirst(); p; p = m_UsageList.GetNext())
        samples.push_back(*p);
    const UsageGraphPicture picture = UsageGraphOf(samples);
    if (!picture.bDrawn)
        return;
    QPainter painter(this);
    painter.setPen(Qt::green);
    for (const QLine& line : picture.lines)
        painter.drawLine(line);
    if (!picture.mask.isEmpty())
        painter.fillRect(picture.mask, QBrush(Qt::black, Qt::SolidPattern));
    // A font wider than the tabs were drawn for runs on to the left, never cut off.
    const int flags = Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip;
    painter.drawText(kUsageValueRect, flags, picture.value);
    painter.drawText(kUsageCaptionRect, flags, _Caption());
}

double QCPUUsageLabel::_ReadUsage()
{
    ICPUDevice* pCPU = QvxGetDevice<ICPUDevice>(dtCPU, m_uIndex);
    return pCPU ? pCPU->GetUsage() : 0.0;
}

double QGPUUsageLabel::_ReadUsage()
{
    IGPUDevice* pGPU = QvxGetDevice<IGPUDevice>(dtGPU, m_uIndex);
    return pGPU ? pGPU->GetUsage() : 0.0;
}
