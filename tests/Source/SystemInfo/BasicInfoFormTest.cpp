// The Basic page's form: its widgets by name and count, their settings, the texts
// in the form's own translation context, and the slot it connects by name.
#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QTranslator>

#include <gtest/gtest.h>

#include "SystemInfo/BasicInfo.h"

namespace {

template <class W>
W* Find(QWidget& page, const char* name)
{
    W* w = page.findChild<W*>(QLatin1String(name));
    EXPECT_TRUE(w) << name;
    return w;
}

// Wraps the texts of the form's context, so a test sees what went through it.
class BracketTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (QLatin1String(context) != QLatin1String("BasicInfoClass"))
            return QString();
        return QStringLiteral("[%1]").arg(QString::fromUtf8(source));
    }
    bool isEmpty() const override { return false; }
};

const char* const kGridNames[] = {"gridLayout", "gridLayout1", "gridLayout2", "gridLayout3",
                                  "gridLayout4", "gridLayout5", "gridLayout6", "gridLayout7"};

} // namespace

TEST(BasicInfoFormTest, WidgetsSettingsAndEmptyFields)
{
    QBasicInfo page;
    EXPECT_EQ(page.objectName(), QStringLiteral("BasicInfoClass"));
    EXPECT_EQ(page.windowTitle(), QStringLiteral("BasicInfo"));
    EXPECT_EQ(page.size(), QSize(768, 422));
    EXPECT_EQ(page.parent(), nullptr);
    EXPECT_EQ(page.GetName(), std::string("Basic"));

    EXPECT_EQ(page.findChildren<QGridLayout*>().size(), 8);
    EXPECT_EQ(page.findChildren<QGroupBox*>().size(), 5);
    // QLabel and the edits are frames too: count the plain frames alone.
    int plainFrames = 0;
    for (QFrame* f : page.findChildren<QFrame*>())
        plainFrames += f->metaObject() == &QFrame::staticMetaObject;
    EXPECT_EQ(plainFrames, 2);
    EXPECT_EQ(page.findChildren<QLabel*>().size(), 80);
    EXPECT_EQ(page.findChildren<QLineEdit*>().size(), 39);
    EXPECT_EQ(page.findChildren<QComboBox*>().size(), 1);
    for (const char* grid : kGridNames)
        EXPECT_TRUE(page.findChild<QGridLayout*>(QLatin1String(grid))) << grid;
    EXPECT_EQ(page.layout()->objectName(), QStringLiteral("gridLayout"));

    // Every value field is read-only, centred, with the arrow cursor, and empty.
    for (QLineEdit* edit : page.findChildren<QLineEdit*>()) {
        SCOPED_TRACE(edit->objectName().toStdString());
        EXPECT_TRUE(edit->isReadOnly());
        EXPECT_EQ(edit->alignment(), Qt::AlignHCenter);
        EXPECT_EQ(edit->cursor().shape(), Qt::ArrowCursor);
        EXPECT_TRUE(edit->text().isEmpty());
    }
    EXPECT_EQ(Find<QComboBox>(page, "SlotBox")->count(), 0);

    // Captions: left and right flags together; the SPD table: left and centre, value labels sunken and empty.
    const QFrame* table = Find<QFrame>(page, "frame");
    for (QLabel* label : page.findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        if (label->parent() != table) {
            EXPECT_EQ(int(label->alignment()), 0x83);
            continue;
        }
        EXPECT_EQ(int(label->alignment()), 0x85);
        EXPECT_EQ(label->maximumSize(), QSize(51, 18));
        if (label->objectName().startsWith(QLatin1String("label_")))
            continue;
        EXPECT_EQ(label->minimumSize(), QSize(45, 18));
        EXPECT_EQ(label->frameShape(), QFrame::Panel);
        EXPECT_EQ(label->frameShadow(), QFrame::Sunken);
        EXPECT_TRUE(label->text().isEmpty());
    }
    for (const char* row : {"Freq", "Trp", "Trrd", "Trcd", "Tras", "Twr", "Twtr", "Trtp", "Trc", "Tcl"})
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(page.findChild<QLabel*>(QStringLiteral("%1%2").arg(QLatin1String(row)).arg(k))) << row << k;

    // A few explicit settings, one of each kind.
    QLineEdit* name = Find<QLineEdit>(page, "NameEdit");
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        EXPECT_EQ(name->palette().color(group, QPalette::WindowText), QColor(0, 0, 0, 255));
    EXPECT_EQ(name->minimumWidth(), 200);
    EXPECT_EQ(name->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(Find<QLineEdit>(page, "SteppingEdit")->maximumWidth(), 100);
    EXPECT_EQ(Find<QGroupBox>(page, "groupBox_4")->minimumWidth(), 180);
    EXPECT_EQ(Find<QGroupBox>(page, "groupBox_3")->minimumWidth(), 160);
    EXPECT_TRUE(Find<QLabel>(page, "label_28")->wordWrap());
    EXPECT_EQ(Find<QFrame>(page, "frame_2")->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    auto* top = static_cast<QGridLayout*>(page.layout());
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    top->getItemPosition(top->indexOf(Find<QGroupBox>(page, "groupBox_2")), &row, &column, &rowSpan, &columnSpan);
    EXPECT_EQ(std::vector<int>({row, column, rowSpan, columnSpan}), std::vector<int>({1, 1, 1, 2}));
    EXPECT_EQ(top->horizontalSpacing(), 4);
    EXPECT_EQ(Find<QLabel>(page, "L3CacheLabel")->text(), QStringLiteral("Level 3 Cache"));

    // Texts as they stand, blanks and the trade mark sign included.
    EXPECT_EQ(Find<QGroupBox>(page, "groupBox_3")->title(), QString::fromUtf8("HyperTransport\u2122 Link"));
    EXPECT_EQ(Find<QLabel>(page, "label_41")->text(), QStringLiteral(" Freq  "));
    EXPECT_EQ(Find<QLineEdit>(page, "VoltageEdit")->whatsThis(), QStringLiteral("Processor core voltage  "));
    EXPECT_EQ(Find<QLineEdit>(page, "RevisionEdit")->whatsThis(), QStringLiteral("Processor revsion string "));
    EXPECT_EQ(Find<QLabel>(page, "Tcl2")->whatsThis(), Find<QLabel>(page, "label_75")->whatsThis());
}

TEST(BasicInfoFormTest, AnExistingObjectNameIsKept)
{
    QWidget page;
    page.setObjectName(QStringLiteral("mine"));
    Ui::BasicInfoClass ui;
    ui.setupUi(&page);
    EXPECT_EQ(page.objectName(), QStringLiteral("mine"));
    EXPECT_EQ(page.findChildren<QLabel*>().size(), 80);
    EXPECT_EQ(ui.SlotBox->parentWidget(), ui.frame_2);
}

TEST(BasicInfoFormTest, TextsGoThroughTheFormsContextAndThePageHasTwoSlots)
{
    BracketTranslator translator;
    QCoreApplication::installTranslator(&translator);
    {
        QBasicInfo page;
        EXPECT_EQ(page.windowTitle(), QStringLiteral("[BasicInfo]"));
        EXPECT_EQ(Find<QGroupBox>(page, "groupBox_3")->title(), QString::fromUtf8("[HyperTransport\u2122 Link]"));
        EXPECT_EQ(Find<QLabel>(page, "label_41")->text(), QStringLiteral("[ Freq  ]"));
        EXPECT_TRUE(Find<QLabel>(page, "Freq0")->text().isEmpty());
    }
    QCoreApplication::removeTranslator(&translator);

    // The page's two slots stand in its meta-object, the timer first.
    const QMetaObject& meta = QBasicInfo::staticMetaObject;
    const int first = meta.methodOffset();
    ASSERT_EQ(meta.methodCount() - first, 2);
    EXPECT_EQ(meta.method(first).methodSignature(), QByteArray("timerEvent(QTimerEvent*)"));
    EXPECT_EQ(meta.method(first + 1).methodSignature(), QByteArray("on_SlotBox_currentIndexChanged(int)"));
    EXPECT_EQ(meta.method(first + 1).access(), QMetaMethod::Protected);
}
