#pragma once
// Stand-in of the system's language identifier (LANGID: primary language in the
// low 10 bits, sub-language above). On Linux it is derived from the program's
// default QLocale, which is the system locale unless QLocale::setDefault changed it.
#include <QLocale>

#include <cstdint>

namespace plat {

// The LANGID that Windows gives for a locale; LANG_NEUTRAL (0x0400 with the
// default sub-language) for languages this table does not know.
uint16_t LangIdFromLocale(const QLocale& locale);

uint16_t GetSystemDefaultLangID();

} // namespace plat
