// The schedule timeline, the serial-number editor with its sticker, and the editable text frame.
#include "gallery/gallery.h"

#include "SourceApp/application/controls/EditableTextFrame.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/SerialNumberEditor.h"
#include "SourceApp/application/controls/Timeline.h"
#include "SourceApp/gui/bif/bif.h"

namespace tdx::gallery {
namespace {

GALLERY(timeline) {
    Container* s = &page.screen();
    day_schedule_t day{};
    schedule_set_range_type(&day, 6 * 3600, 8 * 3600 + 1800, 1);
    schedule_set_range_type(&day, 11 * 3600, 13 * 3600, 3);
    schedule_set_range_type(&day, 17 * 3600, 22 * 3600 + 900, 2);
    new Label(s, 9, 10, &bif_myriad12, "With the time and an interval being edited");
    auto* marked = new Timeline(s, 9, 34, 277, 40, day, true);
    marked->setMarker(14 * 3600 + 25 * 60);
    marked->setSelectionType(2);
    marked->setSelectionStart(19 * 3600);
    marked->setSelectionEnd(21 * 3600);
    new Label(s, 9, 90, &bif_myriad12, "A day of the week schedule");
    new Timeline(s, 9, 114, 220, 30, day, false);
    new Label(s, 9, 160, &bif_myriad12, "Midnight at the end of the day");
    (new Timeline(s, 9, 184, 277, 40, day, true))->setMarker(24 * 3600);
}

GALLERY(serial_number_editor) {
    Container* s = &page.screen();
    new Label(s, 9, 6, &bif_myriad12, "Serial number as on the sticker:");
    new SerialNumberSticker(s, 9, 30);
    auto* editor = new SerialNumberEditor(s, 9, 80);
    for (char c : {'1', '2', '3', '4', '5', '6'}) {
        editor->handleKeyPress(c);
    }
    auto* full = new SerialNumberEditor(s, 9, 160);
    for (char c : {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0'}) {
        full->handleKeyPress(c);
    }
}

GALLERY(editable_text_frame) {
    Container* s = &page.screen();
    auto* frame =
        new EditableTextFrame(s, 9, 10, 200, 100, &bif_myriad12,
                              "A text that wraps at the frame's edge,\nwith a line feed and  two blanks.");
    frame->setCursorPosition(44);
}

} // namespace
} // namespace tdx::gallery
