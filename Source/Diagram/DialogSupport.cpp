#include "Diagram/DialogSupport.h"

#include <QCoreApplication>
#include <QLabel>

#include <cstring>

#include "Engine/Log.h"

const char kValueLabelStyle[] = "QLabel{\nborder-style: solid; \nborder-width: 1px;\nborder-color: #7F9DB9; \n}";

QString DeviceText(const char16_t* pszText)
{
    return pszText ? QString::fromUtf16(pszText) : QString();
}

QString Latin1Field(const char* pField, size_t nFieldSize)
{
    if (!pField)
        return QString();
    return QString::fromLatin1(pField, static_cast<qsizetype>(strnlen(pField, nFieldSize)));
}

void StyleValueLabels(std::initializer_list<QLabel*> labels)
{
    for (QLabel* pLabel : labels)
        pLabel->setStyleSheet(QLatin1String(kValueLabelStyle));
}

void StyleValueCells(QWidget* pDialog)
{
    for (QLabel* pLabel : pDialog->findChildren<QLabel*>())
        if (pLabel->frameShape() == QFrame::StyledPanel)
            pLabel->setStyleSheet(QLatin1String(kValueLabelStyle));
}

QString FlagText(const char* pszContext, bool bOn, const char* pszOn, const char* pszOff)
{
    return QCoreApplication::translate(pszContext, bOn ? pszOn : pszOff);
}

void LogDialogError(const char* pszExpr, int nLine, const char* pszMethod)
{
    g_Log.Write(ltError, "LOG_PROCESS_ERROR(%s) at line %d in %s\n", pszExpr, nLine, pszMethod);
}
