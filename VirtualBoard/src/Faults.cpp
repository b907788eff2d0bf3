#include "VirtualBoard/Faults.h"

namespace vb {

bool Faults::IsSet(const std::string& name) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_set.count(name) != 0;
}

void Faults::Set(const std::string& name, bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (on)
        m_set.insert(name);
    else
        m_set.erase(name);
}

void Faults::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_set.clear();
}

} // namespace vb
