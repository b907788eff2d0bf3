#pragma once
// A platform service behind an interface: the Linux implementation by default,
// a test double when a test installs one (not owned; null restores the default).
#include <atomic>

namespace plat {

template <class Interface>
class Service {
public:
    explicit Service(Interface& fallback) : m_fallback(fallback), m_current(&fallback) {}
    Interface& Get() const { return *m_current.load(); }
    void Set(Interface* replacement) { m_current.store(replacement ? replacement : &m_fallback); }
private:
    Interface& m_fallback;
    std::atomic<Interface*> m_current;
};

} // namespace plat
