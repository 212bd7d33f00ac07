#include "SourceApp/application/controls/Widget.h"

#include "Libraries/base/os.h"
#include "SourceApp/application/controls/Checkbox.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/SortedIconList.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/gui/bif/bif.h"
#include "SourceApp/gui/gfx/gfx.h"

#include <algorithm>

namespace tdx {

namespace {

constexpr int BAND_HEIGHT = 20;
constexpr int BUTTON_WIDTH = 40;
constexpr int CHECKBOX_RIGHT = 24; // where the heading starts beside the checkbox
// Blank columns, about a blank's width, that keep a caption from running into its value.
constexpr int CAPTION_GAP = 3;

// A part the tile was built without is the caller's broken invariant: the program stops, naming the part and
// the whole signature of the operation called.
void require(const void* part, const char* expression, const char* function, int line) {
    if (part == nullptr) {
        os_assert_show(expression, function, __FILE__, line);
    }
}

} // namespace

Widget::Widget(Container* parent, int x, int y, int width, int height)
    : Container(parent, x, y, width, height) {}

Widget::~Widget() = default;

void Widget::buildChildren(bool hasCheckbox, const Layout& at, const Texts& texts) {
    mLayout = at;
    const int left = getLeft();
    const int top = getTop();
    // Pressed and disabled, the arrow keeps the band's colour; only its icon greys.
    mButton = IconButton::Builder{.parent = this,
                                  .x = getRight() - (BUTTON_WIDTH - 1),
                                  .y = top,
                                  .width = BUTTON_WIDTH,
                                  .height = BAND_HEIGHT,
                                  .activeBackColor = NO_COLOUR,
                                  .icon = res_arrow_right_small}
                  .build();
    if (hasCheckbox) {
        mCheckbox = new Checkbox(this, left + 1, top + 1, 19, 18);
    }
    const int headingX = hasCheckbox ? CHECKBOX_RIGHT : at.headingX;
    mHeadingLabel = new ContainedLabel(this, left + headingX, top, getWidth() - headingX - (BUTTON_WIDTH + 1),
                                       BAND_HEIGHT, &bif_myriad12, "");
    mFirstLabel = new Label(this, left + at.firstX, top + at.firstY, &bif_myriad10, texts.first);
    mFirstValueLabel = new Label(this, left + at.firstValueRight, top + at.firstY - 1, &bif_myriad10_bold,
                                 texts.firstValue, HorizontalAlign::Right);
    mSecondLabel = new Label(this, left + at.secondX, top + at.secondY, &bif_myriad10, texts.second);
    mSecondValueLabel = new Label(this, left + at.secondValueRight, top + at.secondY - 1, &bif_myriad10_bold,
                                  texts.secondValue, HorizontalAlign::Right);
    for (Label* label : {mFirstLabel, mFirstValueLabel, mSecondLabel, mSecondValueLabel}) {
        label->setVerticalAlign(at.rowAlign);
    }
    fitColumns();
}

void Widget::fitColumns() {
    const Layout& at = mLayout;
    if (at.firstY == at.secondY) {
        const auto need = [](const Label* caption, const Label* value) {
            return bif_text_width(caption->getFont()->getFont(), caption->getText()) + CAPTION_GAP +
                   value->getWidth();
        };
        const int spareFirst = at.firstValueRight - at.firstX + 1 - need(mFirstLabel, mFirstValueLabel);
        const int spareSecond = at.secondValueRight - at.secondX + 1 - need(mSecondLabel, mSecondValueLabel);
        int shift = 0;
        if (spareFirst < 0 && spareSecond > 0) {
            shift = std::min(-spareFirst, spareSecond);
        } else if (spareSecond < 0 && spareFirst > 0) {
            shift = -std::min(-spareSecond, spareFirst);
        }
        if (shift != mColumnShift) {
            mColumnShift = shift;
            const int left = getLeft();
            mFirstValueLabel->setPosition(left + at.firstValueRight + shift - mFirstValueLabel->getWidth() +
                                              1,
                                          mFirstValueLabel->getTop());
            mSecondLabel->setPosition(left + at.secondX + shift, mSecondLabel->getTop());
            invalidate();
        }
    }
    fitCaption(mFirstLabel, mFirstValueLabel, at.firstValueRight + mColumnShift);
    fitCaption(mSecondLabel, mSecondValueLabel, at.secondValueRight);
}

void Widget::fitCaption(Label* caption, const Label* value, int valueRight) {
    // The value keeps its right edge and is never cut; the caption ends with an ellipsis instead.
    const int valueLeft = getLeft() + valueRight - value->getWidth() + 1;
    caption->setMaxWidth(valueLeft - CAPTION_GAP - caption->getLeft());
}

void Widget::onChildDimensionsChange(Component* child) {
    Container::onChildDimensionsChange(child);
    if ((child == mFirstValueLabel || child == mSecondValueLabel) && mFirstLabel != nullptr &&
        mSecondLabel != nullptr) {
        fitColumns();
    }
}

void Widget::setHeadingLabel(const std::string& text) {
    require(mHeadingLabel, "mHeadingLabel", "void Widget::setHeadingLabel(const string&)", __LINE__);
    mHeadingLabel->setText(text);
}

void Widget::setFirstLabel(const std::string& text) {
    require(mFirstLabel, "mFirstLabel", "void Widget::setFirstLabel(const string&)", __LINE__);
    mFirstLabel->setText(text);
    fitColumns();
}

void Widget::setFirstValue(const std::string& text) {
    require(mFirstValueLabel, "mFirstValueLabel", "void Widget::setFirstValue(const string&)", __LINE__);
    mFirstValueLabel->setText(text);
}

void Widget::setSecondLabel(const std::string& text) {
    require(mSecondLabel, "mSecondLabel", "void Widget::setSecondLabel(const string&)", __LINE__);
    mSecondLabel->setText(text);
    fitColumns();
}

void Widget::setSecondValue(const std::string& text) {
    require(mSecondValueLabel, "mSecondValueLabel", "void Widget::setSecondValue(const string&)", __LINE__);
    mSecondValueLabel->setText(text);
}

void Widget::setChecked(bool checked) {
    require(mCheckbox, "mCheckbox", "void Widget::setChecked(bool)", __LINE__);
    mCheckbox->setChecked(checked);
}

bool Widget::getChecked() const {
    require(mCheckbox, "mCheckbox", "bool Widget::getChecked() const", __LINE__);
    return mCheckbox->getChecked();
}

void Widget::setCheckedCommand(std::unique_ptr<ICommand> command) {
    require(mCheckbox, "mCheckbox", "void Widget::setCheckedCommand(unique_ptr<ICommand>)", __LINE__);
    mCheckbox->setOnCheckedCommand(std::move(command));
}

void Widget::setClickCommand(std::unique_ptr<ICommand> command) {
    require(mButton, "mButton", "void Widget::setClickCommand(unique_ptr<ICommand>)", __LINE__);
    mButton->setClickCommand(std::move(command));
}

void Widget::drawFrame() {
    const int left = getLeft();
    const int top = getTop();
    gfx_setcolor(colour::CONTROL);
    gfx_fill_rect(left, top, getRight() - BUTTON_WIDTH - 1, top + BAND_HEIGHT - 1);
    gfx_vert_line(left, top + BAND_HEIGHT, getHeight() - BAND_HEIGHT);
    gfx_vert_line(getRight(), top + BAND_HEIGHT, getHeight() - BAND_HEIGHT);
    gfx_horiz_line(left, getBottom(), getWidth());
}

void Widget::handleEnabled(bool) {
    // The tile's own state decides, so that a tile enabled inside a disabled parent stays grey.
    const unsigned face = isEnabled() ? colour::TEXT : colour::DISABLED;
    mHeadingLabel->setFaceColor(face);
    for (Label* label : {mFirstLabel, mFirstValueLabel, mSecondLabel, mSecondValueLabel}) {
        label->setFaceColor(face);
    }
}

// ---- WidgetLarge ----

WidgetLarge::WidgetLarge(const Builder& b)
    : Widget(b.mParent, b.mX, b.mY, WIDTH, HEIGHT) {
    setName("WidgetLarge");
    tag = b.mTag;
    buildChildren(b.mHasCheckbox,
                  Layout{.headingX = 5,
                         .firstX = 6,
                         .firstY = 20,
                         .firstValueRight = 94,
                         .secondX = 6,
                         .secondY = 34,
                         .secondValueRight = 94,
                         // Centred, the descenders of the first row would run into the separator and those of
                         // the second be cut by the frame.
                         .rowAlign = VerticalAlign::Top},
                  Texts{b.mFirstLabelText, b.mFirstValueText, b.mSecondLabelText, b.mSecondValueText});
    mIconList = new SortedIconList(this, getLeft() + 107, getTop() + 20, 100, 27);
}

void WidgetLarge::handleDraw() {
    drawFrame();
    gfx_horiz_line(getLeft() + 1, getTop() + 33, 96);
    Container::handleDraw();
}

// ---- WidgetSmall ----

WidgetSmall::WidgetSmall(const Builder& b)
    : Widget(b.mParent, b.mX, b.mY, WIDTH, HEIGHT) {
    setName("WidgetSmall");
    tag = b.mTag;
    buildChildren(true,
                  Layout{.headingX = CHECKBOX_RIGHT,
                         .firstX = 6,
                         .firstY = 24,
                         .firstValueRight = 130,
                         .secondX = 144,
                         .secondY = 24,
                         .secondValueRight = 267,
                         // As on the large tile: centred, the captions' descenders would run into the frame
                         // and the row would sit below the separator's span. The caption still stands one
                         // row below its value, as the two label positions give it with fonts of one ascent.
                         .rowAlign = VerticalAlign::Top},
                  Texts{b.mFirstLabelText, b.mFirstValueText, b.mSecondLabelText, b.mSecondValueText});
}

void WidgetSmall::handleDraw() {
    drawFrame();
    gfx_vert_line(getLeft() + 138 + mColumnShift, getTop() + 23, 14);
    Container::handleDraw();
}

} // namespace tdx
