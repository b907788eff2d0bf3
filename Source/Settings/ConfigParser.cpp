#include "Settings/ConfigParser.h"
#include "Settings/SettingsFiles.h"

#include <QFile>
#include <QXmlStreamReader>

#include <new>

#include "Engine/LogCheck.h"
#include "Platform/FileAside.h"
#include "Platform/Registry.h"
#include "Platform/StaleTemporaries.h"

namespace {

CConfigParser* g_pConfigParser = nullptr;

constexpr int kMaxNameLength = 259;

// QDom would write any name or text it is given, and a file holding a bad one
// could not be read back: check with the reader that reads the file.
bool IsXmlName(const QString& name)
{
    QXmlStreamReader reader(QStringLiteral("<%1/>").arg(name));
    reader.setNamespaceProcessing(false);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.qualifiedName() != name)
            return false;
    return !reader.hasError();
}

bool IsXmlText(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i;
            continue;
        }
        const bool ok = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD);
        if (!ok)
            return false;
    }
    return true;
}

void SetText(QDomDocument& doc, QDomElement& element, QStringView text)
{
    while (element.hasChildNodes())
        element.removeChild(element.firstChild());
    if (!text.isEmpty())
        element.appendChild(doc.createTextNode(text.toString()));
}

// QDom reads an empty name as "any element": an empty name finds nothing here.
QDomElement FirstChildNamed(const QDomElement& parent, const QString& name)
{
    return parent.isNull() || name.isEmpty() ? QDomElement() : parent.firstChildElement(name);
}

} // namespace

CConfigParser* CConfigParser::GetInstance()
{
    if (!g_pConfigParser)
        g_pConfigParser = new (std::nothrow) CConfigParser(u"QVXConfig.xml");
    return g_pConfigParser;
}

void CConfigParser::ReleaseInstance()
{
    delete g_pConfigParser;
    g_pConfigParser = nullptr;
}

CConfigParser::CConfigParser(QStringView fileName) : m_szFileName(fileName.toString())
{
    m_szFilePath = QStringLiteral("./");
    QString folder;
    if (_GetInstallDir(folder))
        m_szFilePath = folder;
    m_szFullPath = m_szFilePath + m_szFileName;
    // What a save cut short at an earlier run left beside the file; the store is
    // opened once per run, so nothing of this run is being written yet.
    plat::RemoveStaleTemporaries({m_szFullPath}, QDateTime::currentDateTime());
    _Init();
}

bool CConfigParser::_GetInstallDir(QString& folder)
{
    using plat::ERROR_SUCCESS;
    plat::RegistryKey key;
    long lRet = key.Open(plat::RegistryHive::LocalMachine, plat::kProductKey);
    QString installDir;
    if (lRet == ERROR_SUCCESS)
        lRet = key.QueryString(u"InstallDir", installDir);
    // Only an installer writes the value: a program run from where it was built has
    // neither it nor the key, which is no fault. One that is there but unreadable is.
    if (lRet == plat::ERROR_FILE_NOT_FOUND) {
        g_Log.Write(ltInfo, "No install folder in the registry (InstallDir): %s is kept in the program's folder.\n",
                    qPrintable(m_szFileName));
        return false;
    }
    LOG_PROCESS_ERROR(lRet == ERROR_SUCCESS);
    // Keep the folder with its trailing separator; a file name after it is dropped.
    const qsizetype ch = std::max(installDir.lastIndexOf(QLatin1Char('/')), installDir.lastIndexOf(QLatin1Char('\\')));
    if (ch < 0) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "ch != NULL");
        return false;
    }
    folder = installDir.left(ch + 1);
    return true;
}

bool CConfigParser::_Init()
{
    QFile file(m_szFullPath);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray content = file.readAll();
        file.close();
        // A document nested far deeper than the store's four levels is damaged: QDom
        // would take quadratic time to read it and overflow the stack writing it.
        QDomDocument document;
        if (settings::IsShallowXml(content) && document.setContent(content) && !document.documentElement().isNull()) {
            m_Document = document;
            return true;
        }
    }
    // Missing or unreadable: the old file is kept aside, never deleted, and an
    // empty store takes its place. One that cannot be set aside is never saved over.
    m_bFileKept = QFile::exists(m_szFullPath) && !plat::SetFileAside(m_szFullPath);
    _CreateDefault();
    return true;
}

bool CConfigParser::_CreateDefault()
{
    m_Document = QDomDocument();
    m_Document.appendChild(
        m_Document.createProcessingInstruction(QStringLiteral("QVX_Configuration_File"), QStringLiteral("version = \"1.0\"")));
    m_Document.appendChild(m_Document.createElement(QStringLiteral("Configuration")));
    return Save();
}

int CConfigParser::_MakeXmlName(QStringView source, QString* destination)
{
    if (!destination)
        return -1;
    *destination = source.left(kMaxNameLength).toString();
    int nReplaced = 0;
    for (QChar& c : *destination) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char('/') ||
            c == QLatin1Char('+')) {
            c = QLatin1Char('_');
            ++nReplaced;
        }
    }
    return nReplaced;
}

QDomElement CConfigParser::_FindGroup(const QString& group) const
{
    // Only among the root's children: a sub-group or item of the same name elsewhere is no group.
    return FirstChildNamed(m_Document.documentElement(), group);
}

QDomElement CConfigParser::_FindNode(QStringView group, QStringView subGroup, QStringView item) const
{
    QString groupName, subGroupName, itemName;
    _MakeXmlName(group, &groupName);
    _MakeXmlName(subGroup, &subGroupName);
    _MakeXmlName(item, &itemName);
    return FirstChildNamed(FirstChildNamed(_FindGroup(groupName), subGroupName), itemName);
}

bool CConfigParser::SetValue(QStringView group, QStringView subGroup, QStringView item, QStringView value, bool bSave)
{
    if (group.isNull() || subGroup.isNull() || item.isNull() || value.isNull())
        return false;
    if (group.isEmpty() || subGroup.isEmpty() || item.isEmpty())
        return false;
    QString groupName, subGroupName, itemName;
    _MakeXmlName(group, &groupName);
    _MakeXmlName(subGroup, &subGroupName);
    _MakeXmlName(item, &itemName);
    if (!IsXmlName(groupName) || !IsXmlName(subGroupName) || !IsXmlName(itemName) || !IsXmlText(value))
        return false;

    QDomElement root = m_Document.documentElement();
    if (root.isNull())
        return false;
    QDomElement itemElement = _FindNode(group, subGroup, item);
    if (itemElement.isNull()) {
        QDomElement groupElement = _FindGroup(groupName);
        QDomElement subGroupElement = FirstChildNamed(groupElement, subGroupName);
        if (groupElement.isNull())
            groupElement = m_Document.createElement(groupName);
        if (subGroupElement.isNull())
            subGroupElement = m_Document.createElement(subGroupName);
        itemElement = m_Document.createElement(itemName);
        // Appending moves an element already in place to the end of its parent.
        subGroupElement.appendChild(itemElement);
        groupElement.appendChild(subGroupElement);
        root.appendChild(groupElement);
    }
    SetText(m_Document, itemElement, value);
    return bSave ? Save() : true;
}

bool CConfigParser::SetValue(QStringView group, QStringView subGroup, QStringView item, double value, bool bSave)
{
    const QString text = QString::number(value, 'g', 15);
    return SetValue(group, subGroup, item, QStringView(text), bSave);
}

bool CConfigParser::GetValue(QStringView group, QStringView subGroup, QStringView item, QString& value) const
{
    if (group.isNull() || subGroup.isNull() || item.isNull())
        return false;
    const QDomElement element = _FindNode(group, subGroup, item);
    if (element.isNull())
        return false;
    value = element.text();
    return true;
}

bool CConfigParser::Save()
{
    if (m_Document.isNull())
        return false;
    if (m_nBatchDepth > 0) {
        m_bSaveDue = true;
        return true;
    }
    LOG_PROCESS_ERROR(!m_bFileKept);
    return settings::WriteFileAtomically(m_szFullPath, m_Document.toByteArray(-1));
}

CConfigBatch::CConfigBatch() : m_pStore(CConfigParser::GetInstance())
{
    if (m_pStore)
        ++m_pStore->m_nBatchDepth;
}

bool CConfigBatch::Commit()
{
    if (!m_bOpen || !m_pStore)
        return m_bResult;
    m_bOpen = false;
    if (--m_pStore->m_nBatchDepth > 0 || !m_pStore->m_bSaveDue)
        return m_bResult;
    m_pStore->m_bSaveDue = false;
    m_bResult = m_pStore->Save();
    return m_bResult;
}

bool CConfigParser::ToDouble(QStringView text, double& value)
{
    bool ok = false;
    double number = text.trimmed().toDouble(&ok);
    if (!ok) {
        QString comma = text.trimmed().toString();
        comma.replace(QLatin1Char(','), QLatin1Char('.'));
        number = comma.toDouble(&ok);
    }
    if (ok)
        value = number;
    return ok;
}
