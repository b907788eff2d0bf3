#pragma once
// The signals that ask a running program to end: SIGTERM, SIGINT and SIGHUP (a
// logout sends them). While an EndSignals object lives they no longer kill the
// process. The program makes it first of all, before it has an event loop: what
// arrives is kept until it listens, and from then on each signal is passed on to
// the thread that listens, through its event loop, so the program can end the way
// it always does. A SIGHUP that was ignored when the object was made (nohup) stays
// ignored. One object at a time; its destructor puts the previous dispositions back.
#include <csignal>
#include <functional>
#include <iterator>
#include <memory>

class QSocketNotifier;

namespace plat {

class EndSignals {
public:
    // Catches the signals; nobody listens yet.
    EndSignals();
    // Catches them and listens at once.
    explicit EndSignals(std::function<void()> onEnd);
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // From now on onEnd runs on this thread's event loop once per burst of signals
    // (the thread needs one: the application object must exist). A signal that came
    // before is passed on by the next Deliver or the event loop. An empty onEnd stops
    // listening; the signals are kept again.
    void Listen(std::function<void()> onEnd);

    // Calls onEnd (when someone listens) at once when a signal arrived that the event
    // loop has not yet passed on (for a caller whose event loop has just ended, or
    // has yet to start); true when one had arrived.
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
