// Showing a page again keeps nothing. Combo boxes kept something: the base style
// caches the picture of a combo box's arrow under a key that holds the palette,
// and the style sheet hands it a palette made anew for each paint, so every paint
// of a page's combo boxes added pictures to the cache. The skins draw that arrow
// from their own picture instead: here the base style must draw none.
#include <QApplication>
#include <QComboBox>
#include <QProxyStyle>
#include <QStyleFactory>

#include "Source/MainWindow/MainWindowFixture.h"

using test::MainWindowTest;

namespace {

class ArrowCountingStyle : public QProxyStyle {
public:
    ArrowCountingStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        if (element == PE_IndicatorArrowDown && qobject_cast<const QComboBox*>(widget))
            ++m_nComboArrows;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    mutable int m_nComboArrows = 0;
};

// The application's style for one window; the one before comes back after it.
class StyleScope {
public:
    explicit StyleScope(QStyle* pStyle) : m_previous(QApplication::style()->name()) { QApplication::setStyle(pStyle); }
    ~StyleScope() { QApplication::setStyle(QStyleFactory::create(m_previous)); }

private:
    QString m_previous;
};

// Lightness of the brightest pixel in the right-hand strip of a box, where its arrow lies.
int ArrowLightness(QComboBox* pBox)
{
    const QImage image = pBox->grab().toImage();
    int lightness = 0;
    for (int x = image.width() - 16; x < image.width() - 2; ++x)
        for (int y = 2; y < image.height() - 2; ++y)
            lightness = std::max(lightness, image.pixelColor(x, y).lightness());
    return lightness;
}

} // namespace

TEST_F(MainWindowTest, ShowingPagesAgainLeavesTheComboBoxArrowsToTheSkin)
{
    const char* const boards[] = {nullptr, "qvx-ddr"};
    for (const char* board : boards) {
        SCOPED_TRACE(board ? board : "default");
        ForEachSkin([&](const QString&) {
            if (board)
                test::LoadBoardOver(QStringLiteral(VELOCREST_FIXTURES "/boards/%1.json").arg(QLatin1String(board)));
            auto* pStyle = new ArrowCountingStyle;
            const StyleScope scope(pStyle);
            ASSERT_TRUE(Open());
            window->resize(1000, 700);
            window->show();
            // Every page, the hidden ones (Clock/Voltage, Memory) made visible, shown twice.
            int nBoxes = 0;
            for (int round = 0; round < 2; ++round)
                for (const auto& [group, pMain] : window->MenuList())
                    for (const auto& [name, pSub] : pMain->m_SubMenuList) {
                        window->SetVisible(group, name, true);
                        ASSERT_TRUE(window->ShowWidget(group, name));
                        window->grab();
                        nBoxes += static_cast<int>(pSub->m_pWidget->findChildren<QComboBox*>().size());
                    }
            EXPECT_GT(nBoxes, 50) << "the pages have their combo boxes";
            EXPECT_EQ(pStyle->m_nComboArrows, 0);

            // The arrows are still there: light on the dark field, also when disabled.
            auto* pMemory = window->GetWidget(QStringLiteral("Performance\nControl"), QStringLiteral("Memory"));
            ASSERT_TRUE(pMemory);
            ASSERT_TRUE(window->ShowWidget(QStringLiteral("Performance\nControl"), QStringLiteral("Memory")));
            const QList<QComboBox*> boxes = pMemory->findChildren<QComboBox*>();
            for (bool bEnabled : {true, false}) {
                const auto it = std::find_if(boxes.begin(), boxes.end(), [&](QComboBox* p) {
                    return p->isVisible() && p->isEnabled() == bEnabled;
                });
                ASSERT_NE(it, boxes.end()) << bEnabled;
                EXPECT_GT(ArrowLightness(*it), bEnabled ? 120 : 35) << bEnabled;
            }
            window->hide();
        });
    }
}
