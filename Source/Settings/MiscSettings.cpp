#include "Settings/MiscSettings.h"
#include "Settings/MiscHandler.h"

#include <QDomDocument>

#include "Engine/LogCheck.h"


namespace {

const QString kFileName = QStringLiteral("Preference.xml");

void AppendElement(QDomDocument& doc, QDomElement& root, const QString& name, const QString& text)
{
    QDomElement element = doc.createElement(name);
    element.appendChild(doc.createTextNode(text));
    root.appendChild(element);
}

QString Flag(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

} // namespace

QString CMiscSettings::FileName() { return kFileName; }

bool CMiscSettings::Load()
{
    CMiscHandler handler(*this);
    const settings::FileRead read = settings::ReadXmlFile(kFileName, handler, &m_strDamagedCopy, &m_ReplacedCopyChanged);
    m_bFileKept = read == settings::FileRead::Kept;
    m_bDamaged = read == settings::FileRead::Failed || m_bFileKept;
    if (read == settings::FileRead::Read)
        return true;
    if (read != settings::FileRead::Missing)
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
    _SetDefaults();
    // A folder that cannot be written must not stop the program: the defaults hold
    // in memory and Save has logged why the file was not written.
    Save();
    return true;
}

bool CMiscSettings::Save()
{
    // A damaged file that could not be set aside is the user's only copy.
    LOG_PROCESS_ERROR(!m_bFileKept);
    QDomDocument doc(kFileName);
    QDomElement root = doc.createElement(QStringLiteral("Preference"));
    doc.appendChild(root);
    AppendElement(doc, root, QStringLiteral("AutoStartOnBoot"), Flag(AutoStartOnBoot));
    AppendElement(doc, root, QStringLiteral("NeedConfirmOnBoot"), Flag(NeedConfirmOnBoot));
    AppendElement(doc, root, QStringLiteral("AutoApplySettings"), Flag(AutoApplySettings));
    AppendElement(doc, root, QStringLiteral("FanBrokenDetectionEnabled"), Flag(FanBrokenDetectionEnabled));
    AppendElement(doc, root, QStringLiteral("LogFileEnabled"), Flag(LogFileEnabled));
    AppendElement(doc, root, QStringLiteral("LanguageType"), QString::number(LanguageType));
    AppendElement(doc, root, QStringLiteral("BoardVendor"), QString::fromUtf8(BoardVendor));
    AppendElement(doc, root, QStringLiteral("SkinScheme"), QString::fromUtf8(SkinScheme));
    AppendElement(doc, root, QStringLiteral("MaximumVCoreEnabled"), Flag(MaximumVCoreEnabled));
    const bool bRetCode = settings::WriteFileAtomically(kFileName, doc.toByteArray(1));
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

void CMiscSettings::_SetDefaults()
{
    AutoStartOnBoot = true;
    NeedConfirmOnBoot = false;
    AutoApplySettings = false;
    FanBrokenDetectionEnabled = false;
    LogFileEnabled = false;
    LanguageType = 0;
    BoardVendor[0] = 0;
    SkinScheme[0] = 0;
    MaximumVCoreEnabled = true;
}

bool CMiscSettings::IsSafeSkinName(QStringView name)
{
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) && !name.contains(QLatin1String(".."));
}
