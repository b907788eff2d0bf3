#pragma once
// The registry of the current main window's pages: a page is admitted when the
// page table enables it and its Init succeeds. Also loads the plug-in page
// libraries "Widget/*R.so" and their translations, and takes everything down at
// the end of each window pass.
#include <QString>

#include <list>
#include <map>
#include <string>
#include <vector>

#include "Shell/IWidgetManager.h"

class QLibrary;
class QTranslator;

class CWidgetManager : public IWidgetManager {
public:
    CWidgetManager() = default;
    CWidgetManager(const CWidgetManager&) = delete;
    CWidgetManager& operator=(const CWidgetManager&) = delete;
    IQVXWidget* GetWidget(unsigned int uIndex) override;
    IQVXWidget* GetWidget(const char* pszName) override;
    unsigned int GetWidgetCount() override;
    virtual ~CWidgetManager();

    bool Init();
    // Whether the page table lists and enables a page of that name; a page it does not
    // is logged as refused (AddWidget asks the same before the page's Init).
    bool IsAdmitted(const char* pszName) const;
    // Unregisters everything and unloads the plug-in libraries and their translators.
    // False when pages were still registered: their libraries then stay loaded,
    // since the pages' code lives there.
    bool UnInit();
    // Admits a page; on false the caller deletes it.
    bool AddWidget(IQVXWidget* pWidget);
    // Unregisters a page (after its UnInit); the caller deletes it afterwards.
    bool DelWidget(IQVXWidget* pWidget);
    // Loads every "Widget/*R.so" in name order; stops at the first that fails.
    bool LoadPlugins();

private:
    bool _LoadWidgetLibrary(const char16_t* pszFilePath);

    struct WidgetEntry {
        IQVXWidget* pWidget;
        std::string name;         // GetName at registration, at most 256 characters
        QLibrary* pModule;        // the plug-in library the page's code lives in, or null
    };
    std::list<WidgetEntry> m_WidgetList;
    // Plug-in library -> number of its pages admitted.
    std::map<QLibrary*, unsigned int> m_ModuleMap;
    std::vector<QTranslator*> m_TranslatorList;
};

extern CWidgetManager g_WidgetManager;
