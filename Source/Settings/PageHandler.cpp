#include "Settings/PageHandler.h"
#include "Settings/PageSettings.h"

#include <QXmlStreamAttributes>

#include "Engine/LogCheck.h"

bool CPageHandler::startElement(const QString& qName, const QXmlStreamAttributes& attributes)
{
    m_strCurrentElement = qName;
    if (qName == QLatin1String("Group")) {
        m_strGroupName = attributes.value(QLatin1String("Name")).toString();
    } else if (qName == QLatin1String("Page")) {
        m_strPageName = attributes.value(QLatin1String("Name")).toString();
        m_bEnabled = m_bVisible = m_bEditable = true;
    }
    return true;
}

bool CPageHandler::endElement(const QString& qName)
{
    if (qName == QLatin1String("Page")) {
        const int nIndex = m_Settings.GetPageCount();
        LOG_PROCESS_ERROR(nIndex < MAX_WIDGET_COUNT);
        // The file writes a group's line break as the two characters "\n".
        QString group = m_strGroupName;
        group.replace(QLatin1String("\\n"), QLatin1String("\n"));
        m_Settings.AddPage(group, m_strPageName, m_bEnabled, m_bVisible, m_bEditable);
    }
    // Text between elements must match no flag.
    m_strCurrentElement = QStringLiteral("Error");
    return true;
}

bool CPageHandler::characters(const QString& text)
{
    if (m_strCurrentElement == QLatin1String("Enabled"))
        m_bEnabled = settings::ToInt(text) != 0;
    else if (m_strCurrentElement == QLatin1String("Editable"))
        m_bEditable = settings::ToInt(text) != 0;
    else if (m_strCurrentElement == QLatin1String("Visible"))
        m_bVisible = settings::ToInt(text) != 0;
    return true;
}
