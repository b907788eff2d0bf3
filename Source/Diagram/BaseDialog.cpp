#include "Diagram/BaseDialog.h"

#include <QAbstractButton>
#include <QGridLayout>
#include <QMouseEvent>
#include <QWhatsThis>

#include <cstdlib>
#include <new>

#include "Diagram/DialogManager.h"
#include "Engine/LogCheck.h"
#include "Settings/SkinManager.h"
#include "Shell/CompositorMove.h"
#include "Shell/IQVXWidget.h"

QBaseDialog::QBaseDialog() : QWidget(nullptr, Qt::WindowFlags())
{
    ui.setupUi(this);
}

bool QBaseDialog::Init(IQVXWidget* pDialog, QAbstractButton* pButton)
{
    QPalette palette = ui.PageNameLabel->palette();
    LOG_PROCESS_ERROR(pDialog);
    LOG_PROCESS_ERROR(pButton);

    // A window of our own drawing: no title bar or border from the window system.
    setWindowFlags(Qt::SplashScreen);
    ui.helpButton->setStyleSheet(g_SkinManager.GetQssFile(QStringLiteral("help_button.qss")));
    connect(ui.helpButton, &QPushButton::clicked, this, &QBaseDialog::showHelp, Qt::UniqueConnection);
    ui.closeButton->setStyleSheet(g_SkinManager.GetQssFile(QStringLiteral("close_button.qss")));
    connect(ui.closeButton, &QPushButton::clicked, this, &QBaseDialog::HideWindow, Qt::UniqueConnection);
    ui.PageNameLabel->setText(QStringLiteral("  ") + QString::fromLatin1(pDialog->GetName()));
    palette.setBrush(QPalette::Active, QPalette::Text, QBrush(Qt::cyan, Qt::SolidPattern));
    ui.PageNameLabel->setPalette(palette);

    // A frame holds one dialog: a second layout could not be installed.
    QGridLayout* pLayout = ui.dialog_frame->layout() ? nullptr : new (std::nothrow) QGridLayout(ui.dialog_frame);
    LOG_PROCESS_ERROR(pLayout);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->addWidget(pDialog);

    pButton->setEnabled(true);
    pButton->setVisible(true);
    m_pDialog = pDialog;
    m_pButton = pButton;

    setStyleSheet(g_SkinManager.GetQssFile(QStringLiteral("dialog_style.qss")));
    ui.dialog_frame->setStyleSheet(g_SkinManager.GetQssFile(QStringLiteral("dialog_style.qss")));
    // The frame fits its dialog as the skin draws it: no empty bands around the
    // title bar or stretched rows.
    ensurePolished();
    adjustSize();
    return true;
}

bool QBaseDialog::ShowWindow()
{
    m_bShown = true;
    show();
    return true;
}

void QBaseDialog::HideWindow()
{
    if (!m_pButton) {
        LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "m_pButton");
        return;
    }
    m_pButton->setChecked(false);
    hide();
}

void QBaseDialog::on_OKButton_clicked() { HideWindow(); }

void QBaseDialog::showHelp() { QWhatsThis::enterWhatsThisMode(); }

void QBaseDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (StartCompositorMove(this))
            return;
        m_bPressed = true;
        m_ptPress = event->position().toPoint();
    }
}

void QBaseDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_bPressed = false;
}

void QBaseDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bPressed) {
        m_bSkipMove = false;
        return;
    }
    if (m_bSkipMove) {
        m_bSkipMove = false;
        return;
    }
    const QPoint delta = event->position().toPoint() - m_ptPress;
    if (isFullScreen())
        return;
    if (m_bDocked && std::abs(delta.x()) < kUndockDistance && std::abs(delta.y()) < kUndockDistance)
        return;
    // Moving the window makes the cursor move relative to it: that event is skipped.
    m_bSkipMove = true;
    move(pos() + delta);
    m_bDocked = g_DialogManager.Dock(this);
}
