// The input for the serial number printed on a component's sticker: a one-line field preset with "1530-",
// ten digit keys and a backspace key. The text keeps the form dddd-dd-dddd-dddd, the dashes coming and going
// by themselves; every applied digit or backspace sends MSG_CHANGE. The host keyboard's digits and backspace
// work too. SerialNumberSticker pictures the sticker, to show the installer where to look.
#pragma once

#include "SourceApp/gui/core/Container.h"
#include "SourceApp/gui/core/Control.h"

#include <cstdint>

namespace tdx {

class EditBox;
class IconButton;

class SerialNumberEditor : public Container {
public:
    static constexpr int LENGTH = 17;               // dddd-dd-dddd-dddd
    static constexpr uint32_t KEY_TAG = 0x4B455900; // "KEY" and the key's index in the low byte
    // As wide as its field, so that the field's right border and the backspace key take touch and draw.
    static constexpr int WIDTH = 286;
    static constexpr int HEIGHT = 58;

    class Key : public Control {
    public:
        Key(SerialNumberEditor* parent, int x, int y, int width, int height);
        // The key's label: its digit, "" for an index without one.
        const char* label() const;
        void handleDraw() override;
    };

    SerialNumberEditor(Container* parent, int x, int y, unsigned unused = 0);

    void handleKeyPress(char c);
    void handleBackspace();
    // Complete, and the ten digits after the prefix fit a serial number (32 bits).
    bool isValid() const;
    // The ten digits after the prefix as one number; 0 unless valid.
    uint32_t getSerial() const;
    const std::string& getText() const;
    IconButton* getBackspaceButton() const { return mBackspace; }

    void handleMessage(Message* message) override;

private:
    void createKeyboard();
    // The digits after the first dash, 0 unless complete.
    uint64_t digits() const;

    EditBox* mEdit = nullptr;
    IconButton* mBackspace = nullptr;
};

class SerialNumberSticker : public Component {
public:
    static constexpr int WIDTH = 132;
    static constexpr int HEIGHT = 29;

    SerialNumberSticker(Container* parent, int x, int y);
    void handleDraw() override;
};

} // namespace tdx
