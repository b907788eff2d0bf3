#pragma once
// Named fault switches: a refused request, a failing device, a missing table.
// Tests set them; a board file can list some under "faults".
#include <mutex>
#include <set>
#include <string>

namespace vb {

class Faults {
public:
    bool IsSet(const std::string& name) const;
    void Set(const std::string& name, bool on = true);
    void Clear();
private:
    mutable std::mutex m_mutex;
    std::set<std::string> m_set;
};

} // namespace vb
