// One entry of a dropdown menu: the text shown and its position in the menu (set when it is added).
#pragma once

#include <cstdint>
#include <string>

namespace tdx {

class DropdownItem {
public:
    virtual ~DropdownItem() = default;
    virtual const std::string& getTitle() const = 0;
    uint16_t getIndex() const { return mIndex; }
    void setIndex(uint16_t index) { mIndex = index; }

private:
    uint16_t mIndex = 0;
};

// A plain item; the tag carries the value the item stands for.
class DropdownItemImpl : public DropdownItem {
public:
    DropdownItemImpl(std::string title, unsigned tag)
        : mTitle(std::move(title))
        , mTag(tag) {}

    const std::string& getTitle() const override { return mTitle; }
    unsigned getTag() const { return mTag; }

private:
    std::string mTitle;
    unsigned mTag;
};

// What a dropdown row does with the item the user picked; owned by the row that runs it.
class DropdownItemClickCommand {
public:
    virtual ~DropdownItemClickCommand() = default;
    virtual void execute(DropdownItem* item) = 0;
};

} // namespace tdx
