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
    const UsageGraphPicture before = UsageGraphOf(_Samples());
    m_UsageList.Push(UsageSample(_ReadUsage()));
    // A steady graph looks the same from one second to the next: drawn again, it
    // would only wake the display.
    if (!(UsageGraphOf(_Samples()) == before))
        update();
}

std::vector<double> QUsageLabel::_Samples()
{
    std::vector<double> samples;
    for (const double* p = m_UsageList.GetFirst(); p; p = m_UsageList.GetNext())
        samples.push_back(*p);
    return samples;
}

void QUsageLabel::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    // Shown again, the graph draws the history it has; a sample comes only a second
    // on. One at each showing would crowd the history with repeated values, as many
    // as the user switches pages, and stretch it out of time.
    m_Sampling.Resume();
}

void QUsageLabel::hideEvent(QHideEvent* event)
{
    QLabel::hideEvent(event);
    m_Sampling.Hidden();
}

void QUsageLabel::paintEvent(QPaintEvent*)
{
    // Replaces the label's own painting: only the graph goes over the picture beneath.
    const UsageGraphPicture picture = UsageGraphOf(_Samples());
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
