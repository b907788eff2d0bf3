// What the tests may do to the program that the program itself never does: delete
// its main window, build one over another page table, replace the removal of log files,
// forget what it took at its start.
// Only test programs link this file.
#include "MainWindow/ZAR.h"
#include "Pages/BuiltInPages.h"
#include "Preferences/SettingsPage.h"
#include "Testing/StartPoint.h"

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

void QSettingsPage::SetLogRemoverForTests(LogRemover remover) { s_LogRemover = std::move(remover); }

void CStartPoint::ForgetForTests()
{
    s_Cores.clear();
    s_dVoltage = 0;
    s_bTaken = false;
}
