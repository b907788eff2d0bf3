#pragma once
// Reads Preference.xml into a CMiscSettings: fields by element name at any depth;
// absent or empty elements leave their fields as they are.
#include "Settings/SettingsFiles.h"

class CMiscSettings;

class CMiscHandler : public CXmlHandler {
public:
    explicit CMiscHandler(CMiscSettings& settings) : m_Settings(settings) {}
    bool startElement(const QString& qName, const QXmlStreamAttributes& attributes) override;
    bool endElement(const QString& qName) override;
    bool characters(const QString& text) override;

private:
    CMiscSettings& m_Settings;
    QString m_strCurrentElement;
};
