#pragma once
// "Novice Mode": overclocking as one slider of eleven levels, each a pair of
// reference and PCIe clocks for the clock generator, with a box of live details.
#include <vector>

#include "Shell/IQVXWidget.h"
#include "Shell/ShownTimer.h"
#include "ui_NoviceMode.h"

class QBasicMode : public IQVXWidget {
    Q_OBJECT
public:
    static constexpr double kBaseHTRefClock = 200.0;
    static constexpr double kBasePCIeClock = 100.0;

    QBasicMode();

    bool Init() override;
    bool UnInit() override;
    bool Apply() override;
    bool Discard() override;
    const char* GetName() override { return "Novice Mode"; }

    // The clocks Apply would write (MHz).
    double TargetHTRefClock() const { return m_dHTRefClock; }
    double TargetPCIeClock() const { return m_dPCIeClock; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private slots:
    void on_ModeSlider_valueChanged(int nLevel);

private:
    bool LoadData();
    // The targets become the clocks the generator runs at.
    void _ReadTargets();
    bool _MapLevelToLists(int nLevel, double& dPCIe, double& dHTRef) const;

    Ui::BasicModeClass ui;
    int m_nLevel = 0;
    double m_dPCIeClock = 0.0;
    double m_dHTRefClock = 0.0;
    double m_dDefaultPCIeClock = 0.0;
    double m_dDefaultHTRefClock = 0.0;
    bool m_bHasClockRanges = false;
    std::vector<double> m_ExtFreqs;     // list mode: reference clocks the generator takes
    std::vector<double> m_PCIeFreqs;    // list mode: PCIe clocks the generator takes
    size_t m_nExtFreqCount = 0;
    size_t m_nPCIeFreqCount = 0;
    bool m_bIsInitialized = false;
    // Set only by the user's move of the level: Apply writes nothing without it, so
    // it never undoes a clock change made on another page in the same Apply.
    bool m_bLevelChanged = false;
    CShownTimer m_Refresh{this};
};
