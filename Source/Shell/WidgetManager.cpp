#include "Shell/WidgetManager.h"
#include "Shell/IQVXWidget.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QTranslator>

#include <cstring>
#include <set>

#include "Engine/LogCheck.h"
#include "Settings/PageSettings.h"


namespace {
constexpr size_t kMaxNameLength = 256;
}

// The global manager goes after main, when Qt may already be torn down (a process
// that Qt itself ends with exit): it touches no page, library or translator then.
// The program's passes have taken everything down before.
CWidgetManager::~CWidgetManager() = default;

bool CWidgetManager::Init()
{
    m_WidgetList.clear();
    return true;
}

bool CWidgetManager::AddWidget(IQVXWidget* pWidget)
{
    LOG_PROCESS_ERROR(pWidget);
    const char* pszName = pWidget->GetName();
    LOG_PROCESS_ERROR(pszName);
    if (!IsAdmitted(pszName))
        return false;
    if (!pWidget->Init()) {
        g_Log.Write(ltInfo, "Page %s initialization failed.\n", pszName);
        return false;
    }
    m_WidgetList.push_back({pWidget, std::string(pszName, strnlen(pszName, kMaxNameLength)), nullptr});
    return true;
}

bool CWidgetManager::IsAdmitted(const char* pszName) const
{
    const PAGE_INFO* pPage = g_PageSettings.FindPage(QString::fromUtf8(pszName, strnlen(pszName, kMaxNameLength)));
    if (!pPage) {
        g_Log.Write(ltInfo, "Cannot find page %s in PageSettings.xml file.\n", pszName);
        return false;
    }
    if (!pPage->Enabled) {
        g_Log.Write(ltInfo, "Page %s is disabled.\n", pszName);
        return false;
    }
    return true;
}

bool CWidgetManager::DelWidget(IQVXWidget* pWidget)
{
    LOG_PROCESS_ERROR(pWidget);
    for (auto it = m_WidgetList.begin(); it != m_WidgetList.end(); ++it) {
        if (it->pWidget != pWidget)
            continue;
        const bool bRetCode = pWidget->UnInit();
        LOG_CHECK_ERROR(bRetCode);
        m_WidgetList.erase(it);
        return true;
    }
    return false;
}

IQVXWidget* CWidgetManager::GetWidget(unsigned int uIndex)
{
    LOG_PROCESS_ERROR_RET(uIndex < m_WidgetList.size(), nullptr);
    auto it = m_WidgetList.begin();
    std::advance(it, uIndex);
    return it->pWidget;
}

IQVXWidget* CWidgetManager::GetWidget(const char* pszName)
{
    LOG_PROCESS_ERROR_RET(pszName, nullptr);
    for (const WidgetEntry& entry : m_WidgetList)
        if (std::strncmp(entry.name.c_str(), pszName, kMaxNameLength) == 0)
            return entry.pWidget;
    return nullptr;
}

unsigned int CWidgetManager::GetWidgetCount() { return static_cast<unsigned int>(m_WidgetList.size()); }

bool CWidgetManager::UnInit()
{
    // Normally the main window has unregistered (and deleted) every page by now.
    const bool bEntriesRemained = !m_WidgetList.empty();
    std::set<QLibrary*> stillUsed;
    for (const WidgetEntry& entry : m_WidgetList) {
        const bool bRetCode = entry.pWidget->UnInit();
        LOG_CHECK_ERROR(bRetCode);
        if (entry.pModule)
            stillUsed.insert(entry.pModule);
    }
    m_WidgetList.clear();

    // A page that still exists must keep its code: its library stays loaded for
    // good (deleting a QLibrary without unload leaves the library in memory).
    for (const auto& [pModule, count] : m_ModuleMap) {
        if (!stillUsed.count(pModule))
            pModule->unload();
        delete pModule;
    }
    m_ModuleMap.clear();

    for (QTranslator* pTranslator : m_TranslatorList) {
        QCoreApplication::removeTranslator(pTranslator);
        delete pTranslator;
    }
    m_TranslatorList.clear();

    if (bEntriesRemained) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_WidgetList.size() == 0");
        return false;
    }
    return true;
}
