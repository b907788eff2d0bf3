#include "Settings/MiscHandler.h"
#include "Settings/MiscSettings.h"

#include "Engine/Log.h"

bool CMiscHandler::startElement(const QString& qName, const QXmlStreamAttributes&)
{
    m_strCurrentElement = qName;
    // Any AutoStartOnBoot element sets the flag, whatever its text: files have always been read so.
    if (qName == QLatin1String("AutoStartOnBoot"))
        m_Settings.AutoStartOnBoot = true;
    return true;
}

bool CMiscHandler::endElement(const QString&)
{
    // Text between elements must match no field.
    m_strCurrentElement = QStringLiteral("Error");
    return true;
}

bool CMiscHandler::characters(const QString& text)
{
    const QString& e = m_strCurrentElement;
    const bool bFlag = settings::ToInt(text) != 0;
    if (e == QLatin1String("NeedConfirmOnBoot"))
        m_Settings.NeedConfirmOnBoot = bFlag;
    else if (e == QLatin1String("AutoApplySettings"))
        m_Settings.AutoApplySettings = bFlag;
    else if (e == QLatin1String("FanBrokenDetectionEnabled"))
        m_Settings.FanBrokenDetectionEnabled = bFlag;
    else if (e == QLatin1String("LogFileEnabled"))
        m_Settings.LogFileEnabled = bFlag;
    else if (e == QLatin1String("LanguageType"))
        m_Settings.LanguageType = settings::ToInt(text);
    else if (e == QLatin1String("BoardVendor"))
        settings::CopyText(m_Settings.BoardVendor, text);
    else if (e == QLatin1String("SkinScheme")) {
        // The skin name becomes a folder below "./resource/": it must not lead out of it.
        if (CMiscSettings::IsSafeSkinName(text))
            settings::CopyText(m_Settings.SkinScheme, text);
        else
            g_Log.Write(ltWarning, "SkinScheme \"%s\" is not a skin name; it is ignored.\n", qPrintable(text));
    } else if (e == QLatin1String("MaximumVCoreEnabled"))
        m_Settings.MaximumVCoreEnabled = bFlag;
    return true;
}
