#pragma once
// What a finished run leaves for the program's value store. A run fills it on the
// tuning thread; the first GetStatus that sees the run finished takes it and hands
// it to the installed sink on its own (the GUI) thread, so the store is only ever
// touched by the thread that owns it.
#include <mutex>
#include <string>
#include <vector>

namespace qvx {

struct TuneValue {
    std::u16string group, subGroup, item;
    double value = 0;
};

class TuneResults {
public:
    // Replaces what an earlier run left undelivered.
    void Set(std::vector<TuneValue> values);
    void Clear();
    // Hands the values, once, to the sink (when one is installed).
    void Deliver();

private:
    std::mutex m_mutex;
    std::vector<TuneValue> m_Values;
};

} // namespace qvx
