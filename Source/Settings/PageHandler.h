#pragma once
// Reads PageSettings.xml into a CPageSettings.
#include "Settings/SettingsFiles.h"

class CPageSettings;

class CPageHandler : public CXmlHandler {
public:
    explicit CPageHandler(CPageSettings& settings) : m_Settings(settings) {}
    bool startElement(const QString& qName, const QXmlStreamAttributes& attributes) override;
    bool endElement(const QString& qName) override;
    bool characters(const QString& text) override;

private:
    CPageSettings& m_Settings;
    QString m_strCurrentElement;
    QString m_strGroupName;
    QString m_strPageName;
    bool m_bEnabled = true;
    bool m_bEditable = true;
    bool m_bVisible = true;
};
