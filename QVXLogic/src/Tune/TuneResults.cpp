#include "Tune/TuneResults.h"

#include "QVXLogic/SystemTune.h"

namespace qvx {

namespace {

// Held while the sink is called, so that removing it waits for a delivery in progress.
std::mutex g_SinkMutex;
IQvxValueSink* g_pSink = nullptr;

} // namespace

void TuneResults::Set(std::vector<TuneValue> values)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_Values = std::move(values);
}

void TuneResults::Clear() { Set({}); }

void TuneResults::Deliver()
{
    std::vector<TuneValue> values;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        values.swap(m_Values);
    }
    if (values.empty())
        return;
    std::lock_guard<std::mutex> lock(g_SinkMutex);
    if (!g_pSink)
        return;
    for (const TuneValue& v : values)
        g_pSink->SetValue(v.group.c_str(), v.subGroup.c_str(), v.item.c_str(), v.value);
}

} // namespace qvx

void QvxSetValueSink(IQvxValueSink* sink)
{
    std::lock_guard<std::mutex> lock(qvx::g_SinkMutex);
    qvx::g_pSink = sink;
}
