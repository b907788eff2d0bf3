// Contact sheets of the built-in skins: a stand-in of the main window and of a
// device dialog dressed with each skin's style sheets, every picture of the skin at
// 1:1, and the splash. Saved under <build>/screenshots/ to be looked at; the test
// also checks that styled buttons come out exactly at their pictures' sizes, which
// keeps the pictures from being scaled.
#include <QBitmap>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLCDNumber>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "SkinLayout.h"

using namespace skintest;

namespace {

QString StyleSheet(const QString& skin, const char* name)
{
    QFile file(QStringLiteral(":/") + skin + QStringLiteral("/qss/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

QString ScreenshotDir()
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(dir);
    return QDir(dir).absolutePath();
}

template <class W>
W* Named(const char* name, QWidget* parent = nullptr)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    return w;
}

// A layout without margins or spacing, as the window's frames use them.
template <class L>
L* Tight(QWidget* owner)
{
    auto* layout = new L(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

// The fan page's needle as the gauge paints it: turned about its pivot (60, 55),
// the pivot laid on (60, 60), the cover on top.
class NeedleStandIn : public QLabel {
public:
    NeedleStandIn(const QString& skin, double degrees, QWidget* parent)
        : QLabel(parent), m_skin(skin), m_degrees(degrees) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QImage needle(BuiltIn(QStringLiteral("skin-red"), "images/gauge_needle.png"));
        const QImage cover(BuiltIn(QStringLiteral("skin-red"), "images/gauge_top.png"));
        QPainter painter(this);
        QTransform r;
        r.rotate(m_degrees);
        double minX = 10000, minY = 10000;
        for (const QPointF& p : {QPointF(0, 0), QPointF(120, 0), QPointF(0, 120), QPointF(120, 120)}) {
            const QPointF m = r.map(p);
            minX = std::min(minX, m.x());
            minY = std::min(minY, m.y());
        }
        const QImage turned = needle.transformed(r, Qt::SmoothTransformation);
        const QPointF pivot = r.map(QPointF(60, 55));
        painter.translate(60 - (pivot.x() - minX), 60 - (pivot.y() - minY));
        painter.drawImage(0, 0, turned);
        painter.resetTransform();
        painter.drawImage(0, 0, cover);
    }

private:
    QString m_skin;
    double m_degrees;
};

QWidget* FanColumn(const QString& skin, const QString& caption, double degrees, int rpm, int celsius)
{
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    auto* title = new QLabel(caption);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    auto* gauge = new QLabel;
    gauge->setFixedSize(120, 120);
    gauge->setPixmap(QPixmap(BuiltIn(QStringLiteral("skin-black"), "images/gauge_background.png")));
    auto* grid = new QGridLayout(gauge);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* needle = new NeedleStandIn(skin, degrees, gauge);
    grid->addWidget(needle, 0, 0);
    auto* bar = new QProgressBar(needle);
    bar->setGeometry(25, 95, 70, 12);
    bar->setRange(0, 6000);
    bar->setValue(rpm);
    bar->setTextVisible(false);
    auto* speed = new QLabel(QStringLiteral("%1 rpm").arg(rpm), needle);
    speed->setGeometry(25, 110, 70, 15);
    speed->setAlignment(Qt::AlignCenter);
    auto* temp = new QLabel(QStringLiteral("%1 C").arg(celsius), needle);
    temp->setGeometry(25, 75, 70, 15);
    temp->setAlignment(Qt::AlignCenter);
    layout->addWidget(gauge, 0, Qt::AlignHCenter);
    auto* box = new QGroupBox;
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(new QRadioButton(QStringLiteral("Automatic")));
    auto* manual = new QRadioButton(QStringLiteral("Manual"));
    manual->setChecked(true);
    boxLayout->addWidget(manual);
    auto* manualBox = new QGroupBox;
    auto* sliderRow = new QHBoxLayout(manualBox);
    sliderRow->addWidget(new QLabel(QStringLiteral("Min")));
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(26, 100);
    slider->setValue(60);
    sliderRow->addWidget(slider);
    sliderRow->addWidget(new QLabel(QStringLiteral("Max")));
    sliderRow->addWidget(new QLabel(QStringLiteral("60%")));
    boxLayout->addWidget(manualBox);
    layout->addWidget(box);
    return column;
}

QWidget* SamplePage(const QString& skin)
{
    auto* page = new QWidget;
    auto* layout = new QGridLayout(page);
    layout->addWidget(FanColumn(skin, QStringLiteral("CPU"), 45, 2500, 45), 0, 0);
    layout->addWidget(FanColumn(skin, QStringLiteral("FAN1"), 90, 1800, 90), 0, 1);
    layout->addWidget(FanColumn(skin, QStringLiteral("FAN2"), 232, 0, 300), 0, 2);
    auto* side = new QWidget;
    auto* sideLayout = new QVBoxLayout(side);
    auto* usage = new QLabel;
    usage->setPixmap(QPixmap(BuiltIn(skin, "images/utilization.png")));
    usage->setFixedSize(183, 131);
    {
        // What the usage label paints over the picture at 40 %.
        QPixmap shown = usage->pixmap();
        QPainter painter(&shown);
        painter.fillRect(14, 24, 35, 45, Qt::black);
        painter.setPen(Qt::green);
        for (int x = 74; x < 168; ++x)
            painter.drawLine(x, 99 - ((x * 7) % 50), x + 1, 99 - (((x + 1) * 7) % 50));
        painter.drawText(QRect(17, 102, 28, 20), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("40%"));
        painter.drawText(QRect(108, 102, 28, 20), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("CPU0"));
        usage->setPixmap(shown);
    }
    sideLayout->addWidget(usage);
    auto* lcd = new QLCDNumber(5);
    lcd->display(3123);
    lcd->setMinimumHeight(32);
    sideLayout->addWidget(lcd);
    auto* combo = new QComboBox;
    combo->addItems({QStringLiteral("skin-black"), QStringLiteral("skin-red")});
    sideLayout->addWidget(combo);
    auto* edit = new QLineEdit(QStringLiteral("200.0 MHz"));
    sideLayout->addWidget(edit);
    auto* check = new QCheckBox(QStringLiteral("Apply settings at start"));
    check->setChecked(true);
    sideLayout->addWidget(check);
    auto* disabled = new QLabel(QStringLiteral("Disabled label"));
    disabled->setEnabled(false);
    sideLayout->addWidget(disabled);
    auto* temps = new QHBoxLayout;
    for (const char* name : {"images/temperature_cpu.png", "images/temperature_gpu.png",
                             "images/temperature_system.png", "images/temperature_aux.png",
                             "images/gauge_small.png"}) {
        auto* l = new QLabel;
        l->setPixmap(QPixmap(BuiltIn(skin, name)));
        temps->addWidget(l);
    }
    sideLayout->addLayout(temps);
    auto* pstate = new QHBoxLayout;
    for (const char* name : {"images/left_arrow.png", "images/right_arrow.png", "images/play.png", "images/stop.png"}) {
        auto* b = new QToolButton;
        b->setIcon(QIcon(BuiltIn(skin, name)));
        pstate->addWidget(b);
    }
    pstate->addStretch();
    sideLayout->addLayout(pstate);
    sideLayout->addStretch();
    layout->addWidget(side, 0, 3);
    return page;
}

struct MainStandIn {
    QMainWindow window;
    QPushButton* menuButton = nullptr;
    QPushButton* subMenuButton = nullptr;
    QPushButton* closeButton = nullptr;
    QPushButton* boostButton = nullptr;
};

// The main window's frame with the object names the skins address.
void BuildMain(MainStandIn& main, const QString& skin)
{
    QMainWindow& win = main.window;
    win.setObjectName(QStringLiteral("ZARClass"));
    win.resize(1000, 700);
    auto* central = new QWidget;
    auto* rows = Tight<QVBoxLayout>(central);
    win.setCentralWidget(central);
    const QString mainStyle = StyleSheet(skin, "main_style.qss");

    auto row = [&](const char* left, QFrame* middle, const char* right) {
        auto* line = new QHBoxLayout;
        line->setSpacing(0);
        line->addWidget(Named<QFrame>(left));
        line->addWidget(middle, 1);
        line->addWidget(Named<QFrame>(right));
        rows->addLayout(line);
    };

    auto* title = Named<QFrame>("titlebar_frame");
    auto* titleRow = Tight<QHBoxLayout>(title);
    auto* icon = Named<QLabel>("icon_label");
    icon->setPixmap(QPixmap(BuiltIn(QStringLiteral("skin-black"), "images/vyk_icon.png")));
    titleRow->addWidget(icon);
    auto* titleLabel = Named<QLabel>("titleLabel");
    titleLabel->setText(QString::fromUtf8("  Vyk Velocrest\u2122 Utility"));
    QFont font = titleLabel->font();
    font.setPointSize(8);
    font.setBold(true);
    titleLabel->setFont(font);
    titleRow->addWidget(titleLabel, 1);
    for (auto [name, qss] : {std::pair{"helpButton", "help_button.qss"},
                             std::pair{"minimizeButton", "minimize_button.qss"},
                             std::pair{"closeButton", "close_button.qss"}}) {
        auto* button = Named<QPushButton>(name);
        button->setStyleSheet(StyleSheet(skin, qss));
        titleRow->addWidget(button);
        main.closeButton = button;
    }
    row("titlebar_left_side", title, "titlebar_right_side");

    // A menu row as the window builds it: one button per entry in a grid, the
    // selected one with the "_select" style sheet, a stretching spacer at column 999.
    auto menuRow = [&](const char* name, int margin, const QStringList& texts, int selected,
                       const char* style, const char* selectStyle, QPushButton*& first) {
        auto* frame = Named<QFrame>(name);
        auto* grid = new QGridLayout(frame);
        grid->setContentsMargins(margin, margin, margin, margin);
        grid->setSpacing(0);
        for (int column = 0; column < texts.size(); ++column) {
            auto* button = new QPushButton(texts[column]);
            button->setFocusPolicy(Qt::NoFocus);
            button->setStyleSheet(StyleSheet(skin, column == selected ? selectStyle : style));
            grid->addWidget(button, 0, column);
            if (!first)
                first = button;
        }
        grid->addItem(new QSpacerItem(100, 25, QSizePolicy::Minimum, QSizePolicy::Minimum), 0, 999);
        grid->setColumnStretch(999, 1);
        return std::pair{frame, grid};
    };

    auto [menu, menuGrid] = menuRow("menu_frame", 4,
        {"System\nInformation", "Status\nMonitor", "Performance\nControl", "Preference"}, 2,
        "menu_button.qss", "menu_button_select.qss", main.menuButton);
    main.boostButton = Named<QPushButton>("BoostBtn");
    main.boostButton->setStyleSheet(StyleSheet(skin, "boost_button_red.qss"));
    menuGrid->addWidget(main.boostButton, 0, 1000);
    row("menu_left_side", menu, "menu_right_side");

    auto submenu = menuRow("submenu_frame", 0,
        {"Novice Mode", "Clock/Voltage", "Memory", "Fan Control", "Benchmark", "Stability Test", "Auto Clock"}, 3,
        "submenu_button.qss", "submenu_button_select.qss", main.subMenuButton).first;
    row("submenu_left_side", submenu, "submenu_right_side");

    auto* body = Named<QFrame>("main_widget_frame");
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    auto* pageFrame = Named<QFrame>("widget_frame");
    auto* pageLayout = new QVBoxLayout(pageFrame);
    auto* stack = Named<QStackedWidget>("stackedWidget");
    stack->addWidget(SamplePage(skin));
    pageLayout->addWidget(stack, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (const char* text : {"OK", "Cancel", "Apply", "Discard"})
        buttons->addWidget(new QPushButton(QLatin1String(text)));
    pageLayout->addLayout(buttons);
    bodyLayout->addWidget(pageFrame);
    body->setStyleSheet(mainStyle);
    row("left_frame", body, "right_frame");

    auto* bottom = Named<QFrame>("bottom_frame");
    auto* bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(4, 4, 4, 4);
    bottomRow->addSpacing(30);
    auto* logo = Named<QLabel>("Logo");
    logo->setFixedSize(102, 40);
    logo->setPixmap(QPixmap(BuiltIn(skin, "images/vyk_logo.png")));
    bottomRow->addWidget(logo);
    bottomRow->addStretch();
    rows->addWidget(bottom);
    win.setStatusBar(Named<QStatusBar>("statusBar"));
    win.setStyleSheet(mainStyle);
}

// The window as the screen shows it: the grabbed frame inside the corner mask.
QImage MaskedShot(QWidget& window, const QString& skin)
{
    const QPixmap shot = window.grab();
    QBitmap mask(shot.size());
    mask.fill(Qt::color1);
    {
        QPainter painter(&mask);
        const QPixmap left(BuiltIn(skin, "images/titlebar_edge_left_mask.png"));
        const QPixmap right(BuiltIn(skin, "images/titlebar_edge_right_mask.png"));
        painter.drawPixmap(0, 0, left);
        painter.drawPixmap(mask.width() - right.width(), 0, right);
    }
    QImage out(shot.size() + QSize(40, 40), QImage::Format_RGB32);
    out.fill(QColor(0x8a, 0x93, 0x9e));
    QPainter painter(&out);
    painter.setClipRegion(QRegion(mask).translated(20, 20));
    painter.drawPixmap(20, 20, shot);
    return out;
}

QWidget* DialogStandIn(const QString& skin)
{
    auto* frame = Named<QWidget>("base_dialog");
    frame->resize(401, 228);
    auto* grid = Tight<QGridLayout>(frame);
    auto* outer = Named<QFrame>("outerTitlebarFrame");
    auto* outerGrid = new QGridLayout(outer);
    outerGrid->setContentsMargins(0, 0, 0, 0);
    auto* title = Named<QFrame>("titlebar_frame");
    title->setMinimumSize(16, 24);
    auto* titleRow = Tight<QHBoxLayout>(title);
    auto* spacer = Named<QFrame>("frame_2");
    spacer->setMinimumSize(5, 16);
    titleRow->addWidget(spacer);
    auto* icon = Named<QLabel>("icon_label");
    icon->setPixmap(QPixmap(BuiltIn(QStringLiteral("skin-black"), "images/vyk_icon.png")));
    titleRow->addWidget(icon);
    titleRow->addWidget(Named<QLabel>("PageNameLabel"), 1);
    static_cast<QLabel*>(title->findChild<QLabel*>(QStringLiteral("PageNameLabel")))->setText(QStringLiteral(" Processor"));
    for (auto [name, qss] : {std::pair{"helpButton", "help_button.qss"}, std::pair{"closeButton", "close_button.qss"}}) {
        auto* button = Named<QPushButton>(name);
        button->setMaximumSize(19, 24);
        button->setStyleSheet(StyleSheet(skin, qss));
        titleRow->addWidget(button);
    }
    outerGrid->addWidget(title);
    grid->addWidget(outer, 0, 0, 1, 3);
    auto* left = Named<QFrame>("left_frame");
    left->setMinimumSize(3, 16);
    grid->addWidget(left, 1, 0);
    auto* body = Named<QFrame>("widget_frame");
    auto* bodyLayout = Tight<QVBoxLayout>(body);
    auto* dialog = Named<QFrame>("dialog_frame");
    auto* values = new QGridLayout(dialog);
    const char* rowsText[][2] = {{"Name", "Vyk Tarrow T40"}, {"Core clock", "2600.0 MHz"}, {"VID", "1.3250 V"}};
    int r = 0;
    for (auto& pair : rowsText) {
        auto* caption = new QLabel(QLatin1String(pair[0]));
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values->addWidget(caption, r, 0);
        auto* value = new QLabel(QLatin1String(pair[1]));
        value->setStyleSheet(QStringLiteral("QLabel{\nborder-style: solid; \nborder-width: 1px;\nborder-color: #7F9DB9; \n}"));
        value->setAlignment(Qt::AlignCenter);
        value->setMinimumSize(150, 20);
        values->addWidget(value, r++, 1);
    }
    auto* edit = new QLineEdit(QStringLiteral("Family 10h"));
    edit->setReadOnly(true);
    values->addWidget(edit, r, 1);
    bodyLayout->addWidget(dialog, 1);
    auto* bottom = Named<QFrame>("bottom_frame");
    bottom->setFixedHeight(32);
    auto* bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(2, 2, 2, 2);
    bottomRow->addStretch();
    bottomRow->addWidget(Named<QPushButton>("OKButton"));
    bottom->findChild<QPushButton*>()->setText(QStringLiteral("Close"));
    bodyLayout->addWidget(bottom);
    grid->addWidget(body, 1, 1);
    auto* right = Named<QFrame>("right_frame");
    right->setMinimumSize(3, 16);
    grid->addWidget(right, 1, 2);
    auto* foot = Named<QFrame>("frame_3");
    foot->setMinimumSize(16, 3);
    grid->addWidget(foot, 2, 0, 1, 3);
    const QString style = StyleSheet(skin, "dialog_style.qss");
    frame->setStyleSheet(style);
    dialog->setStyleSheet(style);
    return frame;
}

// The splash as its form dresses it: the picture behind one centred label.
QImage SplashShot()
{
    QWidget splash;
    splash.resize(309, 103);
    auto* layout = Tight<QGridLayout>(&splash);
    auto* label = new QLabel(QStringLiteral("Vyk Velocrest is being initialized, please wait..."));
    label->setAlignment(Qt::AlignLeft | Qt::AlignHCenter | Qt::AlignVCenter);
    label->setStyleSheet(QStringLiteral("QLabel{\nbackground-image: url(:/Resources/init_background.png);\n"
                                        "background-position: bottom left;\nbackground-repeat: repeat-x;\n}"));
    layout->addWidget(label, 0, 0);
    splash.show();
    QCoreApplication::processEvents();
    return splash.grab().toImage();
}

QImage PictureSheet(const QString& skin, const QImage& dialog)
{
    std::vector<Picture> all = Pictures();
    all.insert(all.end(), Components().begin(), Components().end());
    if (skin == QLatin1String("skin-red"))
        all.insert(all.end(), RedPromotion().begin(), RedPromotion().end());
    const int width = 1400;
    QImage sheet(width, 1500, QImage::Format_RGB32);
    sheet.fill(QColor(0x5a, 0x60, 0x68));
    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);
    int x = 10, y = 10, rowHeight = 0;
    for (const Picture& picture : all) {
        const QImage image(BuiltIn(skin, picture.path));
        const QString name = QString::fromLatin1(picture.path).section(QLatin1Char('/'), -1);
        const int cell = std::max(image.width(), painter.fontMetrics().horizontalAdvance(name)) + 14;
        if (x + cell > width) {
            x = 10;
            y += rowHeight + 22;
            rowHeight = 0;
        }
        // Half the cell on a light ground, so dark and light art both show.
        painter.fillRect(x - 2, y - 2, image.width() + 4, image.height() + 4, QColor(0x1a, 0x1c, 0x1f));
        painter.drawImage(x, y, image);
        painter.setPen(Qt::white);
        painter.drawText(x, y + image.height() + 14, name);
        x += cell;
        rowHeight = std::max(rowHeight, image.height());
    }
    y += rowHeight + 40;
    painter.drawImage(10, y, dialog);
    painter.drawImage(dialog.width() + 30, y, SplashShot());
    int sx = dialog.width() + 30;
    for (const Picture& p : Skinless()) {
        const QImage image(QString::fromLatin1(p.path));
        if (image.width() >= 64 || QString::fromLatin1(p.path).contains(QLatin1String("init_background")))
            continue;
        painter.drawImage(sx, y + 120, image);
        sx += 24;
    }
    painter.end();
    return sheet.copy(0, 0, width, std::min(1500, y + dialog.height() + 20));
}

}  // namespace

TEST(ContactSheet, EachSkinDressesTheWindowFrameAndDialogWithUnscaledPictures)
{
    const QString dir = ScreenshotDir();
    for (const QString& skin : Skins()) {
        MainStandIn main;
        BuildMain(main, skin);
        main.window.show();
        QCoreApplication::processEvents();

        // Styled buttons take exactly their pictures' heights (and the picture
        // buttons their sizes), so no picture is ever scaled.
        EXPECT_EQ(main.menuButton->height(), 44) << qPrintable(skin);
        EXPECT_EQ(main.subMenuButton->height(), 26) << qPrintable(skin);
        EXPECT_EQ(main.closeButton->size(), QSize(19, 24)) << qPrintable(skin);
        EXPECT_EQ(main.boostButton->size(), QSize(25, 25)) << qPrintable(skin);
        EXPECT_EQ(main.window.findChild<QFrame*>(QStringLiteral("titlebar_frame"))->height(), 24);
        EXPECT_EQ(main.window.findChild<QFrame*>(QStringLiteral("menu_frame"))->height(), 52);
        EXPECT_EQ(main.window.findChild<QFrame*>(QStringLiteral("submenu_frame"))->height(), 26);
        EXPECT_EQ(main.window.findChild<QFrame*>(QStringLiteral("bottom_frame"))->height(), 48);

        const QImage window = MaskedShot(main.window, skin);
        EXPECT_TRUE(window.save(dir + QStringLiteral("/window-") + skin + QStringLiteral(".png")));

        std::unique_ptr<QWidget> dialog(DialogStandIn(skin));
        dialog->show();
        QCoreApplication::processEvents();
        const QImage dialogShot = dialog->grab().toImage();
        const QImage sheet = PictureSheet(skin, dialogShot);
        EXPECT_TRUE(sheet.save(dir + QStringLiteral("/pictures-") + skin + QStringLiteral(".png")));
    }
}
