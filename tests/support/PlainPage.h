#pragma once
// A page that is only its name: it initialises, applies and discards without doing
// anything, for tests of the menu and the page registry.
#include "Shell/IQVXWidget.h"

namespace test {

class PlainPage : public IQVXWidget {
public:
    explicit PlainPage(const char* pszName) : m_pszName(pszName) {}
    bool Init() override { return true; }
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return m_pszName; }

private:
    const char* m_pszName;
};

} // namespace test
