// The main window's frame: construction, Init and UnInit, the title-bar buttons,
// the window's shape and dragging.
#include "MainWindow/ZAR.h"

#include <QApplication>
#include <QBitmap>
#include <QFile>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWhatsThis>
#include <QWindow>

#include "Engine/LogCheck.h"
#include "MainWindow/MainEventFilter.h"
#include "Platform/DeviceNotifier.h"
#include "Settings/SkinManager.h"
#include "Shell/CompositorMove.h"
#include "Shell/GlobalFlags.h"
#include "Shell/IQVXWidget.h"
#include "Shell/WidgetManager.h"

namespace {
constexpr char kCustomLogoFile[] = "./resource/logo.png";
}

ZAR* ZAR::s_pInstance = nullptr;

ZAR* ZAR::GetInstance()
{
    // Never deleted by the program: pages may reach it until the process ends.
    if (!s_pInstance)
        s_pInstance = new ZAR(BuiltInPages());
    return s_pInstance;
}

ZAR::ZAR(const std::vector<BuiltInPage>& pages) : QMainWindow(nullptr, Qt::WindowFlags()), m_Pages(pages)
{
    ui.setupUi(this);
    // Our own title bar replaces the window manager's; the mask shapes the corners.
    setWindowFlag(Qt::FramelessWindowHint, true);
}

ZAR::~ZAR() { UnInit(); }

bool ZAR::Init(QApplication* pApp)
{
    LOG_PROCESS_ERROR(pApp);
    m_pApp = pApp;

    m_pFilter = new MainEventFilter(this);
    LOG_PROCESS_ERROR(m_pFilter);
    connect(m_pFilter, &MainEventFilter::mouseMoveEvent, this, [this](QMouseEvent* e) { mouseMoveEvent(e); });
    connect(m_pFilter, &MainEventFilter::mousePressEvent, this, [this](QMouseEvent* e) { mousePressEvent(e); });
    connect(m_pFilter, &MainEventFilter::mouseReleaseEvent, this, [this](QMouseEvent* e) { mouseReleaseEvent(e); });
    ui.titleLabel->installEventFilter(m_pFilter);
    ui.bottom_frame->setMouseTracking(true);
    ui.bottom_frame->installEventFilter(m_pFilter);

    m_strMenuButtonStyle = g_SkinManager.GetQssFile(QStringLiteral("menu_button.qss"));
    m_strSubMenuButtonStyle = g_SkinManager.GetQssFile(QStringLiteral("submenu_button.qss"));
    m_strMenuButtonSelectStyle = g_SkinManager.GetQssFile(QStringLiteral("menu_button_select.qss"));
    m_strSubMenuButtonSelectStyle = g_SkinManager.GetQssFile(QStringLiteral("submenu_button_select.qss"));
    // The window alone carries the skin's main style sheet; its frames, bars and pages
    // inherit it, so it is parsed and applied once rather than once per part.
    setStyleSheet(g_SkinManager.GetQssFile(QStringLiteral("main_style.qss")));

    setWindowIcon(QIcon(g_SkinManager.GetFilePath(QStringLiteral("images/vyk_icon.png"))));
    ui.icon_label->setPixmap(QPixmap(g_SkinManager.GetFilePath(QStringLiteral("images/vyk_icon.png"))));
    ui.Logo->setPixmap(QPixmap(g_SkinManager.GetFilePath(QStringLiteral("images/vyk_logo.png"))));

    if (QFile::exists(QLatin1String(kCustomLogoFile)) && !m_pCustomLogo) {
        auto* pLayout = qobject_cast<QBoxLayout*>(ui.bottom_frame->layout());
        LOG_PROCESS_ERROR(pLayout);
        m_pCustomLogo = new QLabel;
        m_pCustomLogo->setObjectName(QStringLiteral("customLogo"));
        m_pCustomLogo->setPixmap(QPixmap(QLatin1String(kCustomLogoFile))
                                     .scaled(102, 40, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        pLayout->insertWidget(0, m_pCustomLogo);
        pLayout->insertSpacing(0, 30);
        pLayout->insertSpacing(3, 30);
    }

    RefreshBoostButton();

    m_szVersion = QStringLiteral(VELOCREST_VERSION);
    ui.widget_frame->setWhatsThis(
        tr("Help is available for each item in this page. \nClick ? at the top of the dialog box, and then click "
           "the specific item about which you want information. \nVyk Velocrest Version %1 ")
            .arg(m_szVersion));

    ui.closeButton->setStyleSheet(g_SkinManager.GetQssFile(QStringLiteral("close_button.qss")));
    connect(ui.closeButton, &QPushButton::clicked, this, &QWidget::close, Qt::UniqueConnection);
    ui.helpButton->setStyleSheet(g_SkinManager.GetQssFile(QStringLiteral("help_button.qss")));
    connect(ui.helpButton, &QPushButton::clicked, this, &ZAR::showHelp, Qt::UniqueConnection);
    ui.minimizeButton->setStyleSheet(g_SkinManager.GetQssFile(QStringLiteral("minimize_button.qss")));
    connect(ui.minimizeButton, &QPushButton::clicked, this, &QWidget::showMinimized, Qt::UniqueConnection);

    setupMenu();

    _WriteDefaultProfile();
    _ReadWarningSetting();
    m_hDevNotify = plat::CreateDeviceChangeNotifier();
    if (!m_hDevNotify->Register([this]() { m_bDeviceChanged = true; })) {
        m_hDevNotify.reset();
        LOG_PROCESS_ERROR(m_hDevNotify);
    }
    // One timer per window pass: a rebuilt window must not add a second one.
    if (m_nTimerId)
        killTimer(m_nTimerId);
    m_nTimerId = startTimer(1000, Qt::VeryCoarseTimer);

    g_bModified = false;
    return true;
}

bool ZAR::UnInit()
{
    if (m_hDevNotify)
        m_hDevNotify->Unregister();
    m_hDevNotify.reset();
    if (m_nTimerId)
        killTimer(m_nTimerId);
    m_nTimerId = 0;

    _DeleteMenu();

    if (m_pFilter) {
        ui.titleLabel->removeEventFilter(m_pFilter);
        ui.bottom_frame->removeEventFilter(m_pFilter);
    }
    delete m_pFilter;
    m_pFilter = nullptr;
    delete m_pMenuLayout;
    m_pMenuLayout = nullptr;
    m_pMainSpacer = nullptr;   // owned by the layout
    delete m_pSubMenuLayout;
    m_pSubMenuLayout = nullptr;
    m_pSubSpacer = nullptr;
    return true;
}

void ZAR::_DeleteMenu()
{
    for (auto& [group, pMainMenuItem] : m_MenuList) {
        if (!pMainMenuItem) {
            LOG_WRITE_CHECK_LINE_IN("LOG_CHECK_ERROR", "pMainMenuItem", "ZAR::UnInit");
            continue;
        }
        for (auto& [page, pSubMenuItem] : pMainMenuItem->m_SubMenuList) {
            if (!pSubMenuItem) {
                LOG_WRITE_CHECK_LINE_IN("LOG_CHECK_ERROR", "pSubMenuItem", "ZAR::UnInit");
                continue;
            }
            ui.stackedWidget->removeWidget(pSubMenuItem->m_pWidget);
            g_WidgetManager.DelWidget(pSubMenuItem->m_pWidget);
            delete pSubMenuItem->m_pWidget;
            delete pSubMenuItem->m_pButton;
            delete pSubMenuItem;
        }
        delete pMainMenuItem->m_pButton;
        delete pMainMenuItem;
    }
    m_MenuList.clear();
    m_pCurrentMain = nullptr;
    // A page the widget manager admitted but the menu never took must not outlive
    // the pass: the plug-in library its code lives in is unloaded next.
    while (g_WidgetManager.GetWidgetCount() > 0) {
        IQVXWidget* pWidget = g_WidgetManager.GetWidget(0u);
        if (!pWidget || !g_WidgetManager.DelWidget(pWidget))
            break;
        ui.stackedWidget->removeWidget(pWidget);
        delete pWidget;
    }
    ui.stackedWidget->setCurrentIndex(0);
}

void ZAR::showHelp() { QWhatsThis::enterWhatsThisMode(); }

void ZAR::on_cancelButton_clicked() { close(); }

void ZAR::on_okButton_clicked()
{
    Apply();
    g_nRestartRequest = 2;
    close();
}

void ZAR::on_applyButton_clicked() { Apply(); }

void ZAR::on_discardButton_clicked() { Discard(); }

void ZAR::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    QBitmap mask(size());
    mask.fill(Qt::color1);
    {
        QPainter painter(&mask);
        const QPixmap left(g_SkinManager.GetFilePath(QStringLiteral("images/titlebar_edge_left_mask.png")));
        const QPixmap right(g_SkinManager.GetFilePath(QStringLiteral("images/titlebar_edge_right_mask.png")));
        painter.drawPixmap(0, 0, left);
        painter.drawPixmap(mask.width() - right.width(), 0, right);
    }
    setMask(mask);
}

void ZAR::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (StartCompositorMove(this))
        return;
    m_bMousePressed = true;
    m_ptMousePress = event->position().toPoint();
}

void ZAR::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_bMousePressed = false;
}

void ZAR::mouseMoveEvent(QMouseEvent* event)
{
    if (m_bMousePressed && !m_bMoving && !isFullScreen()) {
        m_bMoving = true;
        move(pos() + event->position().toPoint() - m_ptMousePress);
    } else if (m_bMousePressed || m_bMoving) {
        // The move above makes one more move event of its own: it is skipped.
        m_bMoving = false;
    }
}
