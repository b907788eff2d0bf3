#pragma once
// The built-in pages in the order the main window creates them.
#include <functional>
#include <vector>

class IQVXWidget;

struct BuiltInPage {
    const char* pszClassName;               // the page's class, for the log and the tests
    std::function<IQVXWidget*()> Create;
    // The name the page gives itself (GetName): a page the page table does not admit
    // is then not built only to be refused. Null: built, then asked.
    const char* pszPageName = nullptr;
    // Whether this board has the hardware the page is for: a page for another kind (the
    // memory page of the other memory type) is not built only to be refused. Empty:
    // every board.
    std::function<bool()> Suits = {};
};

// The program's table.
const std::vector<BuiltInPage>& BuiltInPages();
// Deletes the main window (when there is one) and makes the next one create the pages
// of this table (null: the program's own again). Defined by the test support only;
// the program has no such switch.
void SetBuiltInPagesForTests(const std::vector<BuiltInPage>* pPages);
