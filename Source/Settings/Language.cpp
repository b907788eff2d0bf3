// The language table and the translators of CMiscSettings.
#include "Settings/MiscSettings.h"

#include <QCoreApplication>
#include <QTranslator>

#include "Engine/LogCheck.h"
#include "Platform/Locale.h"

namespace {

struct LanguageFiles {
    const char* qt;        // built-in Qt translation
    const char* program;   // program translation below the program folder
};

// Languages 2 to 10.
constexpr LanguageFiles kLanguageFiles[] = {
    {"qt_zh_CN.qm", "language/velocrest_zh_CN.qm"}, {"qt_zh_TW.qm", "language/velocrest_zh_TW.qm"},
    {"qt_fr.qm", "language/velocrest_fr_FR.qm"},    {"qt_de.qm", "language/velocrest_de_DE.qm"},
    {"qt_es.qm", "language/velocrest_es_ES.qm"},    {"qt_it.qm", "language/velocrest_it_IT.qm"},
    {"qt_ja_jp.qm", "language/velocrest_ja_JP.qm"}, {"qt_ko_KR.qm", "language/velocrest_ko_KR.qm"},
    {"qt_pt.qm", "language/velocrest_pt_BR.qm"},
};

QString g_strQtTranslationFolder = QStringLiteral(":/translation");

void DropTranslator(QTranslator*& pTranslator)
{
    if (!pTranslator)
        return;
    QCoreApplication::removeTranslator(pTranslator);
    delete pTranslator;
    pTranslator = nullptr;
}

} // namespace

int LanguageFromLangId(uint16_t langId)
{
    switch (langId) {
    case 0x0804:
    case 0x1004:
        return 2;
    case 0x0404:
    case 0x0C04:
    case 0x1404:
        return 3;
    default:
        break;
    }
    switch (langId & 0xFF) {
    case 0x0C: return 4;
    case 0x07: return 5;
    case 0x0A: return 6;
    case 0x10: return 7;
    case 0x11: return 8;
    case 0x12: return 9;
    case 0x16: return 10;
    default: return 1;
    }
}

void CMiscSettings::SetQtTranslationFolder(const QString& folder) { g_strQtTranslationFolder = folder; }

bool CMiscSettings::LoadLanguage()
{
    if (LanguageType == 0)
        LanguageType = LanguageFromLangId(plat::GetSystemDefaultLangID());

    // Null the pointers as they go, so a later call never deletes them twice.
    DropTranslator(m_pTranslator);
    DropTranslator(m_pQtTranslator);

    m_pTranslator = new QTranslator;
    m_pQtTranslator = new QTranslator;
    LOG_PROCESS_ERROR(m_pTranslator);
    LOG_PROCESS_ERROR(m_pQtTranslator);

    if (LanguageType >= 2 && LanguageType <= 10) {
        const LanguageFiles& files = kLanguageFiles[LanguageType - 2];
        const bool bRetCode = m_pQtTranslator->load(g_strQtTranslationFolder + QLatin1Char('/') + QLatin1String(files.qt));
        if (!bRetCode) {
            DropTranslator(m_pTranslator);
            DropTranslator(m_pQtTranslator);
        }
        LOG_PROCESS_ERROR(bRetCode);
        // Without its own translation the program shows its own texts.
        if (m_pTranslator->load(QLatin1String(files.program)))
            QCoreApplication::installTranslator(m_pTranslator);
        else
            DropTranslator(m_pTranslator);
    } else {
        DropTranslator(m_pTranslator);
    }
    QCoreApplication::installTranslator(m_pQtTranslator);
    return true;
}
