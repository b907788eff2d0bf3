// The layout every built-in skin must provide: style sheets, pictures and their
// sizes. Written out here, apart from the art's own manifest, so a file dropped from
// the build is noticed.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

namespace skintest {

struct Picture {
    const char* path;  // inside the skin, e.g. "images/gauge_top.png"
    QSize size;
};

inline const QStringList& Skins()
{
    static const QStringList skins = {QStringLiteral("skin-black"), QStringLiteral("skin-red")};
    return skins;
}

inline const QStringList& StyleSheets()
{
    static const QStringList names = {
        "main_style.qss",        "dialog_style.qss",          "menu_button.qss",
        "menu_button_select.qss", "submenu_button.qss",       "submenu_button_select.qss",
        "boost_button_green.qss", "boost_button_yellow.qss",  "boost_button_red.qss",
        "close_button.qss",       "minimize_button.qss",      "help_button.qss"};
    return names;
}

// The 57 pictures of "images/" in both skins.
inline const std::vector<Picture>& Pictures()
{
    static const std::vector<Picture> pictures = {
        {"images/titlebar_background.png", {8, 24}},
        {"images/titlebar_edge_left.png", {8, 24}},
        {"images/titlebar_edge_right.png", {8, 24}},
        {"images/titlebar_edge_left_mask.png", {8, 8}},
        {"images/titlebar_edge_right_mask.png", {8, 8}},
        {"images/border_left.png", {4, 16}},
        {"images/border_right.png", {4, 16}},
        {"images/border_bottom.png", {16, 3}},
        {"images/bottom_background.png", {8, 48}},
        {"images/size_grip.png", {12, 12}},
        {"images/main_background.png", {16, 256}},
        {"images/dialog_background.png", {16, 128}},
        {"images/menu_background.png", {8, 52}},
        {"images/menu_edge_left.png", {8, 52}},
        {"images/menu_edge_right.png", {8, 52}},
        {"images/menu_button_normal.png", {96, 44}},
        {"images/menu_button_hover.png", {96, 44}},
        {"images/menu_button_pressed.png", {96, 44}},
        {"images/menu_button_select.png", {96, 44}},
        {"images/submenu_background.png", {8, 26}},
        {"images/submenu_edge_left.png", {8, 26}},
        {"images/submenu_edge_right.png", {8, 26}},
        {"images/submenu_button_normal.png", {88, 26}},
        {"images/submenu_button_hover.png", {88, 26}},
        {"images/submenu_button_pressed.png", {88, 26}},
        {"images/submenu_button_select.png", {88, 26}},
        {"images/close_normal.png", {19, 24}},
        {"images/close_hover.png", {19, 24}},
        {"images/close_pressed.png", {19, 24}},
        {"images/minimize_normal.png", {19, 24}},
        {"images/minimize_hover.png", {19, 24}},
        {"images/minimize_pressed.png", {19, 24}},
        {"images/help_normal.png", {19, 24}},
        {"images/help_hover.png", {19, 24}},
        {"images/help_pressed.png", {19, 24}},
        {"images/boost_green.png", {25, 25}},
        {"images/boost_yellow.png", {25, 25}},
        {"images/boost_red.png", {25, 25}},
        {"images/gauge_background.png", {120, 120}},
        {"images/gauge.png", {120, 120}},
        {"images/gauge_needle.png", {120, 120}},
        {"images/gauge_top.png", {120, 120}},
        {"images/gauge_small.png", {64, 64}},
        {"images/temperature_cpu.png", {32, 32}},
        {"images/temperature_gpu.png", {32, 32}},
        {"images/temperature_system.png", {32, 32}},
        {"images/temperature_aux.png", {32, 32}},
        {"images/utilization.png", {183, 131}},
        {"images/left_arrow.png", {16, 16}},
        {"images/right_arrow.png", {16, 16}},
        {"images/play.png", {16, 16}},
        {"images/stop.png", {16, 16}},
        {"images/check_mark.png", {11, 11}},
        {"images/combo_arrow.png", {8, 5}},
        {"images/combo_arrow_disabled.png", {8, 5}},
        {"images/vyk_logo.png", {102, 40}},
        {"images/vyk_icon.png", {16, 16}},
    };
    return pictures;
}

// The 13 device pictures of "images/Component/" in both skins. The processor and
// chipset pictures have the sizes of their diagram buttons; the USB controller
// buttons show theirs at 32 x 16.
inline const std::vector<Picture>& Components()
{
    static const std::vector<Picture> pictures = {
        {"images/Component/processor.png", {76, 89}}, {"images/Component/chipset.png", {86, 99}},
        {"images/Component/ram.png", {32, 32}},       {"images/Component/gpu.png", {32, 32}},
        {"images/Component/display.png", {32, 32}},   {"images/Component/harddisk.png", {32, 32}},
        {"images/Component/cdrom.png", {32, 32}},     {"images/Component/floppy35.png", {32, 32}},
        {"images/Component/floppy525.png", {32, 32}}, {"images/Component/USB.png", {32, 16}},
        {"images/Component/keyboard.png", {32, 32}},  {"images/Component/mouse.png", {32, 32}},
        {"images/Component/printer.png", {32, 32}},
    };
    return pictures;
}

// The red skin's five promotional pictures.
inline const std::vector<Picture>& RedPromotion()
{
    static const std::vector<Picture> pictures = {
        {"images/Tazli/braxen.png", {640, 93}}, {"images/Tazli/strata.png", {640, 72}},
        {"images/Tazli/ember.png", {320, 200}}, {"images/Tazli/ridge.png", {360, 48}},
        {"images/Tazli/flare.png", {240, 160}},
    };
    return pictures;
}

// Built-in pictures outside the skins, by full resource path.
inline const std::vector<Picture>& Skinless()
{
    static const std::vector<Picture> pictures = {
        {":/Resources/init_background.png", {309, 103}}, {":/Resources/vyk_velocrest.png", {64, 64}},
        {":/images/left_arrow.png", {16, 16}},           {":/images/right_arrow.png", {16, 16}},
        {":/images/play.png", {16, 16}},                 {":/images/stop.png", {16, 16}},
    };
    return pictures;
}

inline QString BuiltIn(const QString& skin, const char* path)
{
    return QStringLiteral(":/") + skin + QLatin1Char('/') + QLatin1String(path);
}

}  // namespace skintest
