// The first widgets, the fonts and the icons.
#include "gallery/gallery.h"

#include "SourceApp/application/controls/AnalogChart.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/DropdownItem.h"
#include "SourceApp/application/controls/DropdownMenu.h"
#include "SourceApp/application/controls/HeatCurveChart.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/KeyboardEditor.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/application/controls/Popup.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/controls/RadioGroup.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/application/resources/resource_names.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <algorithm>
#include <string>

namespace tdx::gallery {
namespace {

constexpr unsigned RED = 0x312CD8;
constexpr unsigned GREY = 0x808080;

GALLERY(buttons) {
    Container* s = &page.screen();
    int y = 10;
    Button::Builder{.parent = s, .x = 9, .y = y, .width = 80, .height = 30, .text = "Cancel"}.build();
    Button::Builder{.parent = s,
                    .x = 100,
                    .y = y,
                    .width = 80,
                    .height = 30,
                    .backColor = 0xCBA14F,
                    .faceColor = 0xFFFFFF,
                    .text = "OK"}
        .build();
    Button::Builder{.parent = s, .x = 191, .y = y, .width = 80, .height = 30, .text = "Next"}
        .build()
        ->setEnabled(false);
    y += 40;
    int x = 9;
    for (resource_id id :
         {res_arrow_up, res_arrow_down, res_home, res_question, res_topbar_back, res_tick, res_cross}) {
        IconButton::Builder{.parent = s, .x = x, .y = y, .width = 40, .height = 26, .icon = id}.build();
        x += 41;
    }
    y += 36;
    NavigationLink::Builder{.parent = s, .x = 9, .y = y, .width = 277, .height = 26, .text = "Date & Time"}
        .build();
    y += 27;
    NavigationLink::Builder{.parent = s,
                            .x = 9,
                            .y = y,
                            .width = 277,
                            .height = 26,
                            .text = "A very long link text that does not fit into its row at all"}
        .build();
    y += 36;
    NavigationLink::Builder{.parent = s,
                            .x = 9,
                            .y = y,
                            .width = 208,
                            .height = 38,
                            .text = "Standby",
                            .icon = {res_standby},
                            .buttonIcon = {res_arrow_right_double}}
        .build();
    NavigationLink::Builder{.parent = s,
                            .x = 9,
                            .y = y + 40,
                            .width = 277,
                            .height = 38,
                            .text = "Inverted",
                            .icon = {res_standby},
                            .inverted = true}
        .build();
}

GALLERY(heat_curve) {
    auto* heat = new HeatCurveChart(&page.screen(), 9, 57, 277, 160);
    for (int pass = 0; pass < 2; ++pass) {
        heat->setColor(GREY);
        heat->moveTo(4000, 0);
        heat->drawTo(1800 + pass * 200, 0, false);
        heat->drawTo(1800 + pass * 200, 2500, false);
        heat->drawTo(-1000 - pass * 500, 5500, false);
        heat->drawTo(-2000, 5500, false);
    }
    heat->setColor(RED);
    heat->moveTo(4000, 0);
    heat->drawTo(1900, 0, false);
    heat->drawTo(1900, 2700, true);
    heat->drawTo(-1200, 5500, true);
    heat->drawTo(-2000, 5500, false);
    heat->setWorkingPoint(500, 4000);
}

GALLERY(analog) {
    auto* chart = new AnalogChart(&page.screen(), 9, 35, 277, 170);
    chart->setColor(RED);
    chart->moveTo(0, 0);
    chart->drawTo(1500, 0, false);
    chart->drawTo(1500, 200, true);
    chart->drawTo(5500, 1000, true);
    chart->drawTo(8000, 1500, false);
    chart->setWorkingPoint(3500, 600);
}

GALLERY(checkboxes) {
    Container* s = &page.screen();
    auto* a = new Checkbox(s, 9, 10, 19, 18);
    new Checkbox(s, 39, 10, 19, 18);
    auto* c = new Checkbox(s, 69, 10, 19, 18);
    a->setChecked(true);
    c->setChecked(true);
    c->setEnabled(false);
    // The group outlives the picture's passes; the program draws each picture once.
    static RadioGroup group;
    const char* names[] = {"Heating", "Cooling", "Automatic"};
    for (int i = 0; i < 3; ++i) {
        group.append(new CheckButton(s, 9, 40 + 27 * i, 277, 26, names[i]));
    }
    group.setSelected(2);
    const resource_id icons[] = {res_comfort, res_eco, res_extra_comfort, res_schedule};
    for (int i = 0; i < 4; ++i) {
        new CheckIconButton(s, 9 + 61 * i, 130, 60, 26, icons[i], 0x000000, 0, 0);
    }
    new CheckButton(s, 9, 170, 127, 26, "A text longer than its small row");
}

GALLERY(dropdowns) {
    Container* s = &page.screen();
    auto* open = new DropdownButton(s, 9, 10, 277, 26, "Heating circuit 1");
    new DropdownButton(s, 9, 37, 209, 26, "Hot water");
    open->setCollapsed(true, false);
    auto* menu = new DropdownMenu(s, 60, 80, 200);
    DropdownItem* items[] = {new DropdownItemImpl("English", 0), new DropdownItemImpl("Dansk", 1),
                             new DropdownItemImpl("\xC4\x8C"
                                                  "esky",
                                                  2),
                             new DropdownItemImpl("Nederlands", 3)};
    menu->addItems(std::begin(items), std::end(items));
    menu->setSelectedItem(2);
}

GALLERY(labels) {
    Container* s = &page.screen();
    new Label(s, 9, 5, &bif_myriad14_bold, "Living room");
    new Label(s, 311, 5, &bif_myriad12,
              "21.5 \xC2\xB0"
              "C",
              HorizontalAlign::Right);
    new ContainedLabel(s, 9, 30, 150, 26, &bif_myriad12, "Contained, centred", HorizontalAlign::Center,
                       VerticalAlign::Middle);
    new ContainedLabel(s, 170, 30, 140, 26, &bif_myriad10, "Right, grey", HorizontalAlign::Right,
                       VerticalAlign::Middle, TextOrientation::Horizontal, 0x808080);
    new ContainedLabel(s, 2, 60, 20, 170, &bif_myriad10, "Inlet temperature", HorizontalAlign::Center,
                       VerticalAlign::Middle, TextOrientation::Rotated, 0x808080);
    new TextFrame(s, 30, 60, 280, 0, &bif_myriad12,
                  "The display lost the connection to the control unit. Check the cable and the power of the "
                  "control unit.\nThen wait a minute: the display connects again by itself.");
    new TextFrame(s, 30, 160, 280, 70, &bif_myriad12_bold, "A fixed frame, text at the bottom",
                  VerticalAlign::Bottom, 0x312CD8);
}

GALLERY(progress) {
    int y = 20;
    for (int p : {0, 33, 100, -1}) {
        auto* bar = new ProgressBar(&page.screen(), 20, y, 280, 8);
        bar->setProgress(p);
        y += 20;
    }
    auto* failed = new ProgressBar(&page.screen(), 20, y, 280, 8);
    failed->setProgress(60);
    failed->setProgressColor(0x312CD8);
}

GALLERY(popup) {
    Popup::create("Attention", "Restore configuration",
                  "Do you want to restore previously stored configuration? System will reset afterwards.",
                  PopupButtons::OkCancel);
}

GALLERY(popup_long) {
    Popup::create(
        "A title that is much longer than the title bar of the popup could ever show",
        "A heading that is much longer than its line in the popup frame",
        "Lines and lines of text. Lines and lines of text. Lines and lines of text. Lines and lines of "
        "text. Lines and lines of text. Lines and lines of text. Lines and lines of text. Lines and "
        "lines of text. Lines and lines of text. Lines and lines of text. Lines and lines of text. "
        "Lines and lines of text. Lines and lines of text. Lines and lines of text. The end.",
        PopupButtons::Close);
}

GALLERY(popup_scrolling) {
    std::string text;
    for (int i = 0; i < 30; ++i)
        text += "Sentence " + std::to_string(i + 1) + " of a text longer than the screen. ";
    Popup::create("Information", "A long notice", text, PopupButtons::Close);
}

GALLERY(keyboard) {
    new KeyboardEditor(&page.screen(), 21, 40, "Living room");
}

// The Czech letters, capitals: the national key, then Shift.
GALLERY(keyboard_czech) {
    i18n.switchLanguage(2);
    new KeyboardEditor(&page.screen(), 21, 40, "Kuchyn\xC4\x9B");
    page.tap(21 + 92 + 22, 182);
    page.tap(21 + 22, 182);
    i18n.switchLanguage(0);
}

GALLERY(keyboard_danish) {
    i18n.switchLanguage(1);
    new KeyboardEditor(&page.screen(), 21, 40, "K\xC3\xB8kken");
    page.tap(21 + 92 + 22, 182);
    i18n.switchLanguage(0);
}

// Every image resource with its name, then each text font with the letters of the three languages.
GALLERY_SIZED(resources, 640, 720) {
    int x = 4, y = 4, row_height = 0;
    for (resource_id id = 1; id <= RESOURCE_COUNT; ++id) {
        const unsigned char* img = widget_image(id);
        if (img == nullptr)
            continue;
        const int cell = std::max(gfx_image_width(img) + 8, 64);
        if (x + cell > 640) {
            x = 4;
            y += row_height + 4;
            row_height = 0;
        }
        gfx_setcolor(0xE1E1E1);
        gfx_rectangle(Box(x - 1, y - 1, gfx_image_width(img) + 2, gfx_image_height(img) + 2));
        gfx_setcolor(id == res_logo ? 0xCBA14F : 0x000000);
        gfx_put_image(x, y, img);
        gfx_setcolor(0x646464);
        const std::string label = std::string(resource_names[id - 1]).substr(4);
        bif_print_text(bif_myriad10.getFont(), x, y + gfx_image_height(img) + 2, label.substr(0, 12));
        row_height = std::max(row_height, gfx_image_height(img) + 14);
        x += cell;
    }
    y += row_height + 8;
    gfx_setcolor(0x000000);
    for (Font* font : {&bif_myriad10, &bif_myriad10_bold, &bif_myriad12, &bif_myriad12_bold, &bif_myriad14,
                       &bif_myriad14_bold}) {
        const bif_t* f = font->getFont();
        bif_print_text(f, 4, y,
                       std::string(font->getName()) +
                           ": The quick brown fox jumps over the lazy dog 0123456789 21.5\xC2\xB0"
                           "C");
        y += f->line_step;
        bif_print_text(f, 4, y,
                       "\xC4\x8C"
                       "esky "
                       "\xC3\xA1\xC4\x8D\xC4\x8F\xC3\xA9\xC4\x9B\xC3\xAD\xC5\x88\xC3\xB3\xC5\x99\xC5\xA1\xC5"
                       "\xA5\xC3\xBA\xC5\xAF\xC3\xBD\xC5\xBE "
                       "\xC3\x81\xC4\x8C\xC4\x8E\xC3\x89\xC4\x9A\xC3\x8D\xC5\x87\xC3\x93\xC5\x98\xC5\xA0\xC5"
                       "\xA4\xC3\x9A\xC5\xAE\xC3\x9D\xC5\xBD "
                       "Dansk \xC3\xA6\xC3\xB8\xC3\xA5 \xC3\x86\xC3\x98\xC3\x85 Nederlands "
                       "\xC4\xB3\xC3\xAB\xC3\xAF\xC3\xA9");
        y += f->line_step;
        bif_print_text(
            f, 4, y,
            "\xE2\x80\x93 \xE2\x80\x94 \xE2\x80\x98quotes\xE2\x80\x99 \xE2\x80\x9Equotes\xE2\x80\x9C "
            "\xE2\x80\x9Cquotes\xE2\x80\x9D \xE2\x80\xA6 \xE2\x82\xAC 5 \xC2\xB0"
            "C  !?%&()[]{}");
        y += f->line_step + 2;
    }
}

} // namespace
} // namespace tdx::gallery
