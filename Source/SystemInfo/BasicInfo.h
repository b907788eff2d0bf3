#pragma once
// "Basic": the one-screen summary of the processor, its caches, HyperTransport
// link 0, the memory controller and the memory modules. What cannot change is
// read once by Init; the clocks and timings once a second while the page is
// shown. The "SPD" group shows the module chosen in the slot list.
#include <array>
#include <utility>

#include "QVXLogic/CpuDevice.h"
#include "Shell/IQVXWidget.h"
#include "Shell/ShownTimer.h"
#include "ui_BasicInfo.h"

class QBasicInfo : public IQVXWidget {
    Q_OBJECT
public:
    QBasicInfo();

    bool Init() override;
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return "Basic"; }

protected slots:
    void timerEvent(QTimerEvent* event) override;
    void on_SlotBox_currentIndexChanged(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // A per-core cache: the processor's operation for it and its field.
    using Cache = std::pair<const CACHE_INFO* (ICPUDevice::*)(), QLineEdit*>;
    std::array<Cache, 3> _PerCoreCaches() const;
    void _ListModules();
    void _UpdateSPDInfo();

    Ui::BasicInfoClass ui;
    // Family-11h processors: the north-bridge field shows the memory clock.
    bool m_bNBFromMemClock = false;
    CShownTimer m_Refresh{this};
};
