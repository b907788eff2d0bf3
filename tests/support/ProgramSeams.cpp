// What the tests may do to the program that the program itself never does: delete
// its main window, build one over another page table, mark the device dialogs built.
// Only test programs link this file.
#include "Dialogs/DialogManager.h"
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

void CDialogManager::SetInitForTests(bool bInit) { m_bInit = bInit; }
