#pragma once
// The preference pages inside the real main window on the simulated board, with the
// page table, the preferences and the registry in the test's folder.
#include <QCoreApplication>

#include <string>
#include <vector>

#include "Settings/PageSettings.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "VirtualBoard/Machine.h"

namespace test {

inline const QString kPreferenceGroup = QStringLiteral("Preference");
inline const QString kPerformanceGroup = QStringLiteral("Performance\nControl");

class PreferencesTest : public MainWindowTest {
protected:
    template <class P>
    P* Page(const char* name, const QString& group = kPreferenceGroup)
    {
        return dynamic_cast<P*>(window->GetWidget(group, QLatin1String(name)));
    }

    // A menu entry of the window, or null.
    SubMenuItem* MenuEntry(const QString& group, const char* page) const
    {
        const auto itMain = window->MenuList().find(group);
        if (itMain == window->MenuList().end())
            return nullptr;
        const auto itSub = itMain->second->m_SubMenuList.find(QLatin1String(page));
        return itSub == itMain->second->m_SubMenuList.end() ? nullptr : itSub->second;
    }

    // The page table as it stands on disk.
    static const PAGE_INFO* StoredRecord(const char* page)
    {
        static CPageSettings stored;
        stored = CPageSettings();
        return stored.Load() ? stored.FindPage(QLatin1String(page)) : nullptr;
    }

    // Journal lines that start with prefix, the journal emptied.
    static std::vector<std::string> Journal(const std::string& prefix)
    {
        std::vector<std::string> out;
        for (const std::string& line : vb::Machine::Instance().GetJournal().Entries())
            if (line.rfind(prefix, 0) == 0)
                out.push_back(line);
        vb::Machine::Instance().GetJournal().Clear();
        return out;
    }

    // Closes the window as the start-up loop does and builds the next one.
    bool Rebuild()
    {
        window->UnInit();
        if (!g_WidgetManager.UnInit())
            return false;
        if (!g_PageSettings.Load() || !g_MiscSettings.Load() || !g_WidgetManager.Init())
            return false;
        return window->Init(qobject_cast<QApplication*>(QCoreApplication::instance()));
    }
};

} // namespace test
