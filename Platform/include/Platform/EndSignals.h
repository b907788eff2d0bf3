#pragma once
// The signals that ask a running program to end: SIGTERM, SIGINT and SIGHUP (a
// logout sends them). While an EndSignals object lives they no longer kill the
// process; each one that arrives is passed on to the thread that made the object,
// through its event loop, so the program can end the way it always does. A SIGHUP
// that was ignored when the object was made (nohup) stays ignored. One object at a
// time; its destructor puts the previous dispositions back.
#include <csignal>
#include <functional>
#include <iterator>
#include <memory>

class QSocketNotifier;

namespace plat {

class EndSignals {
public:
    // onEnd runs on this thread's event loop once per burst of signals.
    explicit EndSignals(std::function<void()> onEnd);
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // Calls onEnd at once when a signal arrived that the event loop has not yet
    // passed on (for a caller whose event loop has just ended); true when it did.
    bool Deliver();

    // The signals caught, in this order.
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

private:
    std::function<void()> m_onEnd;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
    struct sigaction m_previous[std::size(kSignals)] = {};
    bool m_installed[std::size(kSignals)] = {};
};

} // namespace plat
