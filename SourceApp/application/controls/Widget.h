// Dashboard tiles: one object of the installation as a framed card with a heading, two rows of a caption and
// a value, an arrow button that opens the object and, on some tiles, a checkbox and a row of status icons.
// WidgetLarge is the 209 x 48 tile of the home screen, WidgetSmall the 277 x 40 tile of the peripheral
// overview. The tiles know nothing of the data model: the widget templates fill and bind them.
//
//   WidgetLarge::Builder{.mParent = content, .mHasCheckbox = true, .mTag = oid}.build();
#pragma once

#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/ICommand.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tdx {

class Checkbox;
class ContainedLabel;
class IconButton;
class Label;
class SortedIconList;

class Widget : public Container {
public:
    ~Widget() override = 0;

    // Each setter needs the child it writes; a tile without it is a fatal assertion.
    void setHeadingLabel(const std::string& text);
    void setFirstLabel(const std::string& text);
    void setFirstValue(const std::string& text);
    void setSecondLabel(const std::string& text);
    void setSecondValue(const std::string& text);
    ContainedLabel* getHeadingLabel() const { return mHeadingLabel; }
    Label* getFirstValueLabel() const { return mFirstValueLabel; }
    Label* getSecondValueLabel() const { return mSecondValueLabel; }

    void setChecked(bool checked);
    bool getChecked() const;
    void setCheckedCommand(std::unique_ptr<ICommand> command);
    // Runs on a click of the arrow button.
    void setClickCommand(std::unique_ptr<ICommand> command);
    IconButton* getButton() const { return mButton; }
    Checkbox* getCheckbox() const { return mCheckbox; }

protected:
    // What both tiles build from: position, texts, checkbox and the tag the owner keeps in the tile.
    struct Texts {
        std::string first;
        std::string firstValue;
        std::string second;
        std::string secondValue;
    };
    // Where the children go, relative to the tile's top-left corner, and where the row texts stand in their
    // labels.
    struct Layout {
        int headingX;
        int firstX, firstY;
        int firstValueRight;
        int secondX, secondY;
        int secondValueRight;
        VerticalAlign rowAlign;
    };

    Widget(Container* parent, int x, int y, int width, int height);
    void buildChildren(bool hasCheckbox, const Layout& layout, const Texts& texts);
    // The heading band and the border lines in the control colour; the separator is the tile's own.
    void drawFrame();
    void handleEnabled(bool enabled) override;
    // A value that changed its width gives its caption the room that is left.
    void onChildDimensionsChange(Component* child) override;

    Checkbox* mCheckbox = nullptr;
    IconButton* mButton = nullptr;
    ContainedLabel* mHeadingLabel = nullptr;
    Label* mFirstLabel = nullptr;
    Label* mFirstValueLabel = nullptr;
    Label* mSecondLabel = nullptr;
    Label* mSecondValueLabel = nullptr;
    // How far the split between two columns side by side lies right of the layout's (left: negative).
    int mColumnShift = 0;

private:
    void fitCaption(Label* caption, const Label* value, int valueRight);
    // Two columns side by side: the split moves into the column with room to spare when the other one's
    // caption and value do not fit into theirs, so that a long caption is not cut while the other still fits.
    // Then each caption gets the room its value leaves.
    void fitColumns();

    Layout mLayout{};
};

class WidgetLarge : public Widget {
public:
    static constexpr int WIDTH = 209;
    static constexpr int HEIGHT = 48;

    struct Builder {
        Container* mParent = nullptr;
        int mX = 0;
        int mY = 0;
        bool mHasCheckbox = false;
        uint32_t mTag = 0;
        std::string mFirstLabelText{};
        std::string mFirstValueText{};
        std::string mSecondLabelText{};
        std::string mSecondValueText{};

        WidgetLarge* build() const { return new WidgetLarge(*this); }
    };

    explicit WidgetLarge(const Builder& builder);
    SortedIconList* getIconList() const { return mIconList; }

    void handleDraw() override;

private:
    SortedIconList* mIconList = nullptr;
};

class WidgetSmall : public Widget {
public:
    static constexpr int WIDTH = 277;
    static constexpr int HEIGHT = 40;

    // The small tile always has its checkbox.
    struct Builder {
        Container* mParent = nullptr;
        int mX = 0;
        int mY = 0;
        uint32_t mTag = 0;
        std::string mFirstLabelText{};
        std::string mFirstValueText{};
        std::string mSecondLabelText{};
        std::string mSecondValueText{};

        WidgetSmall* build() const { return new WidgetSmall(*this); }
    };

    explicit WidgetSmall(const Builder& builder);

    void handleDraw() override;
};

} // namespace tdx
