#pragma once
// A widget's once-a-second refresh that runs only while the widget is shown: a
// hidden page wakes nothing. Shown again, the widget gets one timer event at once,
// so it never shows values older than the board's. The widget arms it where it
// used to start its timer and calls Shown and Hidden from its showEvent (last,
// after what the showing itself loads) and hideEvent. A widget whose tick does
// more than show (steps a P-state, takes a usage sample) calls Resume instead and
// refreshes itself.
#include <QBasicTimer>

class QWidget;

class CShownTimer {
public:
    explicit CShownTimer(QWidget* pWidget, int nIntervalMs = 1000) : m_pWidget(pWidget), m_nIntervalMs(nIntervalMs) {}

    // From now on the refresh runs while the widget is shown (at once when it is).
    void Arm();
    void Shown();
    // Runs again without the tick at once.
    void Resume();
    void Hidden() { m_Timer.stop(); }

private:
    QWidget* m_pWidget;
    int m_nIntervalMs;
    bool m_bArmed = false;
    QBasicTimer m_Timer;
};
