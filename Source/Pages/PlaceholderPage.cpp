#include "Pages/PlaceholderPage.h"

#include <QLabel>
#include <QVBoxLayout>

CPlaceholderPage::CPlaceholderPage(const char* pszName) : m_pszName(pszName)
{
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel(QObject::tr(pszName), this);
    title->setObjectName(QStringLiteral("placeholderTitle"));
    QFont font = title->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    layout->addStretch(1);
    layout->addWidget(title);
    layout->addStretch(2);
}
