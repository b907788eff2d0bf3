#pragma once
// What an LCD display shows. QLCDNumber keeps no copy of a text it shows (only its
// value), so the text is kept beside it as a property, where tests read it; a
// number handed to the display to format itself leaves no text.
#include <QString>

class QLCDNumber;

void ShowLcdText(QLCDNumber* pLcd, const QString& text);
void ShowLcdNumber(QLCDNumber* pLcd, double value);
void ShowLcdNumber(QLCDNumber* pLcd, int value);
// The text ShowLcdText put on the display; empty when a number replaced it or none came.
QString LcdText(const QLCDNumber* pLcd);
