#pragma once
// A built-in page for the widget-manager tests: its Init and UnInit answer as told,
// and it counts what was done to it.
#include "Shell/IQVXWidget.h"

namespace test {

class FakePage : public IQVXWidget {
public:
    explicit FakePage(const char* name, bool initOk = true, bool unInitOk = true)
        : m_name(name), m_initOk(initOk), m_unInitOk(unInitOk) {}
    bool Init() override { ++inits; return m_initOk; }
    bool UnInit() override { ++unInits; return m_unInitOk; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return m_name; }

    int inits = 0;
    int unInits = 0;

private:
    const char* m_name;
    bool m_initOk;
    bool m_unInitOk;
};

} // namespace test
