// The "Audio", "Storage" and "USB" pages: refused by the built-in page table with
// one log line each per build of the main window, shown when a page table lists
// them; their forms; and the owner-drawn rectangle.
#include <QGridLayout>
#include <QImage>
#include <QLabel>

#include "Source/MainWindow/MainWindowFixture.h"
#include "SystemInfo/DevelopingPages.h"
#include "SystemInfo/OwnerDrawWidget.h"
#include "support/LogCapture.h"

using test::MainWindowTest;

namespace {

const char* const kNames[] = {"Audio", "Storage", "USB"};

size_t Refusals(const char* name)
{
    return test::LogCount(std::string("<4>: Cannot find page ") + name + " in PageSettings.xml file.");
}

} // namespace

TEST_F(MainWindowTest, TheBuiltInTableRefusesThePlaceholderPagesOnEachBuild)
{
    for (size_t build = 1; build <= 2; ++build) {
        SCOPED_TRACE(build);
        ASSERT_TRUE(Open());
        for (const char* name : kNames) {
            EXPECT_EQ(Refusals(name), build) << name;
            EXPECT_EQ(g_WidgetManager.GetWidget(name), nullptr) << name;
        }
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindowTest, APageTableThatListsUsbShowsIt)
{
    ASSERT_TRUE(Open("<PageList><Group Name=\"System\\nInformation\"><Page Name=\"Basic\"/><Page Name=\"USB\"/>"
                     "</Group></PageList>"));
    EXPECT_EQ(Refusals("USB"), 0u);
    EXPECT_EQ(Refusals("Audio"), 1u);
    const QString group = QStringLiteral("System\nInformation");
    auto* usb = dynamic_cast<QUSB*>(window->GetWidget(group, QStringLiteral("USB")));
    ASSERT_TRUE(usb);
    window->show();
    ASSERT_TRUE(window->ShowWidget(group, QStringLiteral("USB")));
    EXPECT_EQ(usb->findChild<QLabel*>(QStringLiteral("label"))->text(), QStringLiteral("Under developing..."));
    g_bModified = true;
    window->Apply();
    window->Discard();
    EXPECT_FALSE(test::LogContains("apply failed"));
    window->hide();
}

TEST(DevelopingPagesTest, TheThreeForms)
{
    QAudio audio;
    QStorage storage;
    QUSB usb;
    const struct {
        IQVXWidget* page;
        const char *name, *form;
        QSize size;
        int margin;
    } cases[] = {
        {&audio, "Audio", "AudioClass", {468, 378}, 9},
        {&storage, "Storage", "StorageClass", {400, 300}, 9},
        {&usb, "USB", "USBClass", {588, 381}, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.page->GetName(), std::string(c.name));
        EXPECT_EQ(c.page->objectName(), QLatin1String(c.form));
        EXPECT_EQ(c.page->windowTitle(), QLatin1String(c.name));
        EXPECT_EQ(c.page->size(), c.size);
        EXPECT_EQ(c.page->parent(), nullptr);
        auto* grid = qobject_cast<QGridLayout*>(c.page->layout());
        ASSERT_TRUE(grid);
        EXPECT_EQ(grid->objectName(), QStringLiteral("gridLayout"));
        EXPECT_EQ(grid->spacing(), 6);
        EXPECT_EQ(grid->contentsMargins(), QMargins(c.margin, c.margin, c.margin, c.margin));
        auto* label = c.page->findChild<QLabel*>(QStringLiteral("label"));
        ASSERT_TRUE(label);
        EXPECT_EQ(label->parent(), c.page);
        EXPECT_EQ(label->text(), QStringLiteral("Under developing..."));
        EXPECT_EQ(label->alignment(), Qt::AlignCenter);
        EXPECT_EQ(grid->itemAtPosition(0, 0)->widget(), label);
        EXPECT_TRUE(c.page->Init() && c.page->Apply() && c.page->Discard() && c.page->UnInit());
        // The class name alone: no slots, signals or properties of its own.
        const QMetaObject* meta = c.page->metaObject();
        EXPECT_EQ(QLatin1String(meta->className()), QLatin1Char('Q') + QLatin1String(c.name));
        EXPECT_EQ(meta->methodCount(), meta->methodOffset());
        EXPECT_EQ(meta->propertyCount(), meta->propertyOffset());
    }
    EXPECT_TRUE(usb.testAttribute(Qt::WA_SetLayoutDirection));
    EXPECT_EQ(usb.layoutDirection(), Qt::LeftToRight);
    EXPECT_FALSE(audio.testAttribute(Qt::WA_SetLayoutDirection));
}

TEST(OwnerDrawWidgetTest, StartsOffSightAndPaintsItselfBlue)
{
    QWidget owner;
    auto* widget = new OwnerDrawWidget(&owner);
    EXPECT_EQ(widget->parent(), &owner);
    EXPECT_EQ(widget->geometry(), QRect(-2, -2, 1, 1));

    widget->resize(40, 30);
    QImage image(40, 30, QImage::Format_ARGB32);
    image.fill(Qt::white);
    widget->render(&image);
    for (const QPoint p : {QPoint(1, 1), QPoint(20, 15), QPoint(38, 28)})
        EXPECT_EQ(image.pixelColor(p), QColor(Qt::blue)) << p.x() << "," << p.y();
    // The outline is the widget's foreground colour.
    EXPECT_EQ(image.pixelColor(0, 10), widget->palette().color(widget->foregroundRole()));
}
