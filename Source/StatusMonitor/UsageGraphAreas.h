#pragma once
// The four usage graph areas of the CPU and GPU Status pages: the skin's picture
// in each, a grid layout on each, and a usage label over the area of each device.
// Failures come back as the text of the failed check, for the page to log in its
// own name.
#include <QGridLayout>
#include <QLabel>

#include <array>
#include <memory>
#include <new>

#include "QVXLogic/DeviceManager.h"
#include "StatusMonitor/StatusSupport.h"

constexpr int kGraphAreas = 4;
using GraphAreas = std::array<QLabel*, kGraphAreas>;
using GraphLayouts = std::array<QGridLayout*, kGraphAreas>;

// Null, or "pLayout[n]" for the layout that could not be made.
const char* SetUpGraphAreas(const GraphAreas& areas, GraphLayouts& layouts);

// A label of type L over area i for each device i of the type (the count asked
// again at every pass; devices from the fifth on get none), sampling once a
// second while shown; with bOnlyEnabled, only a label in an enabled area samples.
// Null, or "pLabel" / "bRetCode".
template <class L>
const char* AddUsageLabels(const GraphLayouts& layouts, QVX_DEVICE_TYPE type, bool bOnlyEnabled)
{
    for (unsigned i = 0; i < g_DeviceManager.GetDeviceCount(type) && i < kGraphAreas; ++i) {
        layouts[i]->setContentsMargins(0, 0, 0, 0);
        layouts[i]->setSpacing(0);
        std::unique_ptr<L> pLabel(new (std::nothrow) L);
        if (!pLabel)
            return "pLabel";
        if (!pLabel->m_UsageList.Init(kUsageSlots))
            return "bRetCode";
        pLabel->m_uIndex = i;
        layouts[i]->addWidget(pLabel.get(), 0, 0);   // the area owns it from here
        L* pAdded = pLabel.release();
        if (!bOnlyEnabled || pAdded->isEnabled())
            pAdded->StartSampling();
    }
    return nullptr;
}
