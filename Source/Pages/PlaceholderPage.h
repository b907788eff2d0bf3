#pragma once
// A page whose real content is not built yet: it carries the page's real name, so
// the page table, the menu and the Apply order treat it like the finished page.
#include "Shell/IQVXWidget.h"

class CPlaceholderPage : public IQVXWidget {
public:
    explicit CPlaceholderPage(const char* pszName);
    bool Init() override { return true; }
    bool UnInit() override { return true; }
    bool Apply() override { return true; }
    bool Discard() override { return true; }
    const char* GetName() override { return m_pszName; }

private:
    const char* m_pszName;
};
