#include "Shell/LcdText.h"

#include <QLCDNumber>
#include <QVariant>

namespace {
constexpr char kProperty[] = "velocrestLcdText";
}

void ShowLcdText(QLCDNumber* pLcd, const QString& text)
{
    if (!pLcd)
        return;
    pLcd->setProperty(kProperty, text);
    pLcd->display(text);
}

void ShowLcdNumber(QLCDNumber* pLcd, double value)
{
    if (!pLcd)
        return;
    pLcd->setProperty(kProperty, QString());
    pLcd->display(value);
}

void ShowLcdNumber(QLCDNumber* pLcd, int value)
{
    if (!pLcd)
        return;
    pLcd->setProperty(kProperty, QString());
    pLcd->display(value);
}

QString LcdText(const QLCDNumber* pLcd)
{
    return pLcd ? pLcd->property(kProperty).toString() : QString();
}
