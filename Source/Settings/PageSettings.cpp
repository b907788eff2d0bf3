#include "Settings/PageSettings.h"
#include "Settings/PageHandler.h"

#include <QDomDocument>
#include <QFile>
#include <QObject>

#include "Engine/LogCheck.h"


namespace {
const QString kFileName = QStringLiteral("PageSettings.xml");
}

QString CPageSettings::FileName() { return kFileName; }

bool CPageSettings::Load()
{
    m_nPageCount = 0;
    // A damaged file is kept aside rather than deleted: the user may want his table back.
    CPageHandler fileHandler(*this);
    const settings::FileRead read = settings::ReadXmlFile(kFileName, fileHandler);
    m_bFileKept = read == settings::FileRead::Kept;
    if (read == settings::FileRead::Read)
        return true;
    if (read != settings::FileRead::Missing)
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
    m_nPageCount = 0;
    // The built-in copy is read where it is; it is not copied to the disk.
    QFile builtIn(QStringLiteral(":/Resources/%1").arg(kFileName));
    bool bRetCode = builtIn.open(QIODevice::ReadOnly);
    LOG_PROCESS_ERROR(bRetCode);
    CPageHandler handler(*this);
    bRetCode = handler.Parse(&builtIn);
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

bool CPageSettings::Save()
{
    // A damaged file that could not be set aside is the user's only copy.
    LOG_PROCESS_ERROR(!m_bFileKept);
    QDomDocument doc(kFileName);
    QDomElement root = doc.createElement(QStringLiteral("PageList"));
    doc.appendChild(root);
    for (int i = 0; i < m_nPageCount; ++i) {
        const PAGE_INFO& page = m_Pages[i];
        QString groupName = QString::fromUtf8(page.szGroupName);
        groupName.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        // Pages of one group gather under its first Group element.
        QDomElement group;
        for (QDomElement e = root.firstChildElement(QStringLiteral("Group")); !e.isNull();
             e = e.nextSiblingElement(QStringLiteral("Group")))
            if (e.attribute(QStringLiteral("Name")) == groupName) {
                group = e;
                break;
            }
        if (group.isNull()) {
            group = doc.createElement(QStringLiteral("Group"));
            group.setAttribute(QStringLiteral("Name"), groupName);
            root.appendChild(group);
        }
        QDomElement element = doc.createElement(QStringLiteral("Page"));
        element.setAttribute(QStringLiteral("Name"), QString::fromUtf8(page.szPageName));
        group.appendChild(element);
        auto addFlag = [&](const char* name, bool value) {
            QDomElement flag = doc.createElement(QLatin1String(name));
            flag.appendChild(doc.createTextNode(value ? QStringLiteral("1") : QStringLiteral("0")));
            element.appendChild(flag);
        };
        addFlag("Enabled", page.Enabled);
        if (!page.Visible)
            addFlag("Visible", false);
        if (!page.Editable)
            addFlag("Editable", false);
    }
    const bool bRetCode = settings::WriteFileAtomically(kFileName, doc.toByteArray(1));
    LOG_PROCESS_ERROR(bRetCode);
    return true;
}

PAGE_INFO* CPageSettings::GetPage(int nIndex)
{
    LOG_PROCESS_ERROR_RET(nIndex >= 0 && nIndex < m_nPageCount, nullptr);
    return &m_Pages[nIndex];
}

PAGE_INFO* CPageSettings::FindPage(const QString& name)
{
    for (int i = 0; i < m_nPageCount; ++i) {
        PAGE_INFO& page = m_Pages[i];
        if (name == QString::fromUtf8(page.szPageName) || name == QObject::tr(page.szPageName))
            return &page;
    }
    return nullptr;
}

bool CPageSettings::AddPage(const QString& group, const QString& name, bool bEnabled, bool bVisible, bool bEditable)
{
    if (m_nPageCount >= MAX_WIDGET_COUNT)
        return false;
    PAGE_INFO& page = m_Pages[m_nPageCount++];
    settings::CopyText(page.szGroupName, group);
    settings::CopyText(page.szPageName, name);
    page.Enabled = bEnabled;
    page.Visible = bVisible;
    page.Editable = bEditable;
    return true;
}
