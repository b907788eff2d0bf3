// Loading of the plug-in page libraries. They are loaded from the program folder,
// and the program runs with administrator rights: the install folder must not be
// writable by other users.
#include "Shell/WidgetManager.h"
#include "Shell/IQVXWidget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QTranslator>

#include "Engine/LogCheck.h"
#include "Settings/MiscSettings.h"
#include "Shell/PluginFile.h"

namespace {

// The three exports of a plug-in page library (C linkage).
using GetQmFileFn = const char* (*)(int languageType);
using GetWidgetCountFn = unsigned int (*)();
using CreateWidgetFn = IQVXWidget* (*)(unsigned int uIndex);

// Takes a half-loaded library down again unless it is kept.
struct LibraryGuard {
    QLibrary*& pModule;
    QTranslator*& pTranslator;
    bool bKeep = false;
    ~LibraryGuard()
    {
        if (bKeep)
            return;
        if (pTranslator) {
            QCoreApplication::removeTranslator(pTranslator);
            delete pTranslator;
        }
        if (pModule) {
            pModule->unload();
            delete pModule;
        }
    }
};

} // namespace

bool CWidgetManager::LoadPlugins()
{
    const QStringList files = plugin::Entries(QStringLiteral("Widget"), QStringLiteral("*R.so"), QDir::Name | QDir::IgnoreCase);
    if (files.isEmpty()) {
        // Page plug-ins are optional: without the folder, or with none in it, there
        // is nothing to load. A Widget that cannot be searched is a fault.
        const QFileInfo folder(QStringLiteral("Widget"));
        if (folder.exists() && !(folder.isDir() && folder.isReadable() && folder.isExecutable())) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "hFind != INVALID_HANDLE_VALUE");
            return false;
        }
        g_Log.Write(ltInfo, "No page plug-ins (Widget/*R.so).\n");
        return false;
    }
    for (const QString& file : files) {
        const QString path = QStringLiteral("Widget/") + file;
        const bool bRetCode = _LoadWidgetLibrary(reinterpret_cast<const char16_t*>(path.utf16()));
        LOG_PROCESS_ERROR(bRetCode);
    }
    return true;
}

bool CWidgetManager::_LoadWidgetLibrary(const char16_t* pszFilePath)
{
    LOG_PROCESS_ERROR(pszFilePath);
    // A file that is no whole library of this machine's kind is never handed to the loader.
    const QString path = QString::fromUtf16(pszFilePath);
    QLibrary* hModule = plugin::CheckLibrary(path) ? new QLibrary(QFileInfo(path).absoluteFilePath()) : nullptr;
    QTranslator* pTranslator = nullptr;
    LibraryGuard guard{hModule, pTranslator};
    if (hModule && !hModule->load()) {
        g_Log.Write(ltInfo, "%s\n", qPrintable(hModule->errorString()));
        delete hModule;
        hModule = nullptr;
    }
    LOG_PROCESS_ERROR(hModule);

    const auto GetQmFile = reinterpret_cast<GetQmFileFn>(plugin::Resolve(*hModule, path, "GetQmFile"));
    LOG_PROCESS_ERROR(GetQmFile);
    const auto GetWidgetCount = reinterpret_cast<GetWidgetCountFn>(plugin::Resolve(*hModule, path, "GetWidgetCount"));
    LOG_PROCESS_ERROR(GetWidgetCount);
    const auto CreateWidget = reinterpret_cast<CreateWidgetFn>(plugin::Resolve(*hModule, path, "CreateWidget"));
    LOG_PROCESS_ERROR(CreateWidget);

    const char* pszQmFile = GetQmFile(g_MiscSettings.LanguageType);
    if (pszQmFile) {
        pTranslator = new QTranslator;
        LOG_PROCESS_ERROR(pTranslator);
        const QString qmFile = QStringLiteral("language/%1").arg(QString::fromUtf8(pszQmFile));
        const bool bRetCode = pTranslator->load(qmFile);
        if (!bRetCode)
            plugin::Refuse(path, QStringLiteral("its translation %1 cannot be loaded").arg(qmFile));
        LOG_PROCESS_ERROR(bRetCode);
        QCoreApplication::installTranslator(pTranslator);
    }

    unsigned int uAccepted = 0;
    for (unsigned int i = 0; i < GetWidgetCount(); ++i) {
        IQVXWidget* pWidget = CreateWidget(i);
        if (!pWidget && uAccepted > 0) {
            // Pages of this library are registered: its code and translator must stay.
            guard.bKeep = true;
            if (pTranslator)
                m_TranslatorList.push_back(pTranslator);
            g_Log.Write(ltError, "Plug-in %s made no page %u; the pages it made before stay.\n", qPrintable(path), i);
        } else if (!pWidget) {
            plugin::Refuse(path, QStringLiteral("its CreateWidget made no page %1").arg(i));
        }
        LOG_PROCESS_ERROR(pWidget);
        if (AddWidget(pWidget)) {
            m_WidgetList.back().pModule = hModule;
            m_ModuleMap[hModule] = ++uAccepted;
        } else {
            delete pWidget;
        }
    }
    if (uAccepted == 0)
        return true;                            // the guard unloads the library and drops its translator
    guard.bKeep = true;
    if (pTranslator)
        m_TranslatorList.push_back(pTranslator);
    return true;
}
