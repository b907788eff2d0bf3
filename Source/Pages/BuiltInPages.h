#pragma once
// The built-in pages in the order the main window creates them.
#include <functional>
#include <vector>

class IQVXWidget;

struct BuiltInPage {
    const char* pszClassName;               // the page's class, for the log and the tests
    std::function<IQVXWidget*()> Create;
};

// The table in use: the program's own, or the one a test installed.
const std::vector<BuiltInPage>& BuiltInPages();
// Tests: replaces the table; null brings back the program's own.
void SetBuiltInPagesForTests(const std::vector<BuiltInPage>* pPages);
