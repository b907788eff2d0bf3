#include "Platform/Locale.h"

namespace plat {

namespace {

constexpr uint16_t MakeLangId(uint16_t primary, uint16_t sub) { return static_cast<uint16_t>((sub << 10) | primary); }

struct LanguageEntry {
    QLocale::Language language;
    uint16_t primary;
};

// Primary language identifiers of the languages a user of this program is likely to run.
constexpr LanguageEntry kLanguages[] = {
    {QLocale::Arabic, 0x01},  {QLocale::Czech, 0x05},     {QLocale::Danish, 0x06},   {QLocale::German, 0x07},
    {QLocale::Greek, 0x08},   {QLocale::English, 0x09},   {QLocale::Spanish, 0x0A},  {QLocale::Finnish, 0x0B},
    {QLocale::French, 0x0C},  {QLocale::Hebrew, 0x0D},    {QLocale::Hungarian, 0x0E}, {QLocale::Italian, 0x10},
    {QLocale::Japanese, 0x11}, {QLocale::Korean, 0x12},   {QLocale::Dutch, 0x13},    {QLocale::NorwegianBokmal, 0x14},
    {QLocale::Polish, 0x15},  {QLocale::Portuguese, 0x16}, {QLocale::Romanian, 0x18}, {QLocale::Russian, 0x19},
    {QLocale::Swedish, 0x1D}, {QLocale::Thai, 0x1E},      {QLocale::Turkish, 0x1F},  {QLocale::Ukrainian, 0x22},
    {QLocale::Vietnamese, 0x2A},
};

struct TerritoryEntry {
    QLocale::Language language;
    QLocale::Territory territory;
    uint16_t sub;
};

// Sub-languages that differ from the default one (1).
constexpr TerritoryEntry kTerritories[] = {
    {QLocale::Chinese, QLocale::Taiwan, 0x01},      {QLocale::Chinese, QLocale::China, 0x02},
    {QLocale::Chinese, QLocale::HongKong, 0x03},    {QLocale::Chinese, QLocale::Singapore, 0x04},
    {QLocale::Chinese, QLocale::Macao, 0x05},       {QLocale::German, QLocale::Switzerland, 0x02},
    {QLocale::German, QLocale::Austria, 0x03},      {QLocale::English, QLocale::UnitedKingdom, 0x02},
    {QLocale::English, QLocale::Australia, 0x03},   {QLocale::English, QLocale::Canada, 0x04},
    {QLocale::French, QLocale::Belgium, 0x02},      {QLocale::French, QLocale::Canada, 0x03},
    {QLocale::French, QLocale::Switzerland, 0x04},  {QLocale::Spanish, QLocale::Mexico, 0x02},
    {QLocale::Spanish, QLocale::Spain, 0x03},       {QLocale::Italian, QLocale::Switzerland, 0x02},
    {QLocale::Dutch, QLocale::Belgium, 0x02},       {QLocale::Portuguese, QLocale::Portugal, 0x02},
};

} // namespace

uint16_t LangIdFromLocale(const QLocale& locale)
{
    const QLocale::Language language = locale.language();
    if (language == QLocale::Chinese) {
        for (const TerritoryEntry& entry : kTerritories)
            if (entry.language == language && entry.territory == locale.territory())
                return MakeLangId(0x04, entry.sub);
        // Without a known territory the script decides between the two written forms.
        return MakeLangId(0x04, locale.script() == QLocale::TraditionalChineseScript ? 0x01 : 0x02);
    }
    for (const LanguageEntry& entry : kLanguages) {
        if (entry.language != language)
            continue;
        for (const TerritoryEntry& territory : kTerritories)
            if (territory.language == language && territory.territory == locale.territory())
                return MakeLangId(entry.primary, territory.sub);
        return MakeLangId(entry.primary, 0x01);
    }
    return MakeLangId(0x00, 0x01);
}

uint16_t GetSystemDefaultLangID() { return LangIdFromLocale(QLocale()); }

} // namespace plat
