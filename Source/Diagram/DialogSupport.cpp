#include "Diagram/DialogSupport.h"

#include <QCoreApplication>
#include <QLabel>

#include "Engine/Log.h"

const char kValueLabelStyle[] = "QLabel{\nborder-style: solid; \nborder-width: 1px;\nborder-color: #7F9DB9; \n}";

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

void SetWholeText(QLabel* pCell, const QString& text)
{
    constexpr int kRoom = 4;   // on each side, so the text does not touch the border
    pCell->setText(text);
    // The cell's border comes from its style sheet: measured once it is applied.
    pCell->ensurePolished();
    const QMargins margins = pCell->contentsMargins();
    const int nNeeded = pCell->fontMetrics().horizontalAdvance(text) + 2 * (kRoom + pCell->frameWidth())
        + margins.left() + margins.right();
    if (nNeeded > pCell->maximumWidth())
        pCell->setMaximumWidth(nNeeded);
    if (nNeeded > pCell->minimumWidth())
        pCell->setMinimumWidth(nNeeded);
}

void TranslateForm(QWidget* pDialog, const char* pszContext)
{
    const auto translate = [pszContext](const QString& source) {
        return source.isEmpty() ? source : QCoreApplication::translate(pszContext, source.toUtf8().constData());
    };
    pDialog->setWindowTitle(translate(pDialog->windowTitle()));
    for (QLabel* pLabel : pDialog->findChildren<QLabel*>()) {
        pLabel->setText(translate(pLabel->text()));
        pLabel->setWhatsThis(translate(pLabel->whatsThis()));
    }
}

QString FlagText(const char* pszContext, bool bOn, const char* pszOn, const char* pszOff)
{
    return QCoreApplication::translate(pszContext, bOn ? pszOn : pszOff);
}

void LogDialogError(const char* pszExpr, int nLine, const char* pszMethod)
{
    g_Log.Write(ltError, "LOG_PROCESS_ERROR(%s) at line %d in %s\n", pszExpr, nLine, pszMethod);
}
