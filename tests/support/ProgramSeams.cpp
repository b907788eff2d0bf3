// What the tests may do to the program that the program itself never does: delete
// its main window, build one over another page table.
// Only test programs link this file.
#include "MainWindow/ZAR.h"
#include "Pages/BuiltInPages.h"

void ZAR::ReleaseInstanceForTests()
{
    delete s_pInstance;
    s_pInstance = nullptr;
}

void SetBuiltInPagesForTests(const std::vector<BuiltInPage>* pPages)
{
    ZAR::ReleaseInstanceForTests();
    if (pPages)
        ZAR::s_pInstance = new ZAR(*pPages);
}
