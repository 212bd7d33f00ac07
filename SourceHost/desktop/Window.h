// Wrappers over the toolkit's widgets from which the host's windows are built. A wrapper owns its widget and
// the wrappers of its child controls; a child wrapper is deleted with its parent, and one deleted directly
// takes itself out of its parent first. The two controls that talk to the rest of the host: the push button
// runs a command when clicked, the edit box raises a signal when the program changes its value.
#pragma once

#include "SourceHost/host/Command.h"
#include "SourceHost/host/sigslot.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace tdx {

class CWindow {
public:
    // Takes the widget; `parent` (may be null) takes this wrapper.
    CWindow(CWindow* parent, QWidget* widget);
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    // Outer size of a top-level window, or the size of a control.
    virtual bool Resize(int width, int height);
    // Position in the parent's coordinates.
    virtual bool MoveTo(int x, int y);
    void SetFont(const QFont& font);
    QWidget* GetHandle() const { return mWidget; }
    int GetWidth() const;
    int GetHeight() const;
    int GetX() const;
    int GetY() const;
    void Invalidate();
    void RegisterChild(CWindow* child);
    const std::vector<CWindow*>& children() const { return mChildren; }

private:
    CWindow* mParent = nullptr;
    QPointer<QWidget> mWidget;
    std::vector<CWindow*> mChildren;
};

class CLabel : public CWindow {
public:
    CLabel(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget,
           const std::string& text);
    void Text(const std::string& text);
    const std::string& Text() const { return mText; }

private:
    QLabel* mLabel;
    std::string mText;
};

// Gives the control the largest font, from its parent's down to 6 points, in which `text` and `padding`
// pixels fit its width: a translated caption longer than the English one is shown whole, not cut.
void FitTextToWidth(CWindow* control, const std::string& text, int padding);
// Shows the text on a label or button (when it is not shown already) in the font that fits it.
template <class TextControl>
void SetFittedText(TextControl* control, const std::string& text, int padding) {
    if (control->Text() != text) {
        control->Text(text);
    }
    FitTextToWidth(control, text, padding);
}

class CPushButton : public CWindow {
public:
    CPushButton(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget,
                const std::string& text);
    // The button owns the command and runs it (with no argument) on every click; the one replaced is deleted.
    void setOnClickCommand(Command* command) { mCommand.reset(command); }
    Command* getOnClickCommand() const { return mCommand.get(); }
    void Text(const std::string& text);
    const std::string& Text() const { return mText; }

private:
    QPushButton* mButton;
    std::unique_ptr<Command> mCommand;
    std::string mText;
};

class CGroupBox : public CWindow {
public:
    CGroupBox(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget,
              const std::string& title);
    void Title(const std::string& title);
    std::string Title() const;
};

class CEditBox : public CWindow, public sigslot::has_slots<> {
public:
    CEditBox(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget,
             const std::string& text, int multiline = 0);
    // A different value is stored, shown and then announced; the same value does nothing.
    virtual void Value(const std::string& value);
    virtual std::string Value() const { return mValue; }
    void Append(const std::string& text) { Value(mValue + text); }
    void Enabled(int enabled);
    int Enabled() const { return mEnabled; }
    // The line mode is fixed when the box is made; the flag is only stored.
    void Multiline(int multiline) { mMultiline = multiline; }
    int Multiline() const { return mMultiline; }

    sigslot::signal1<CEditBox*> ValueChanged;

private:
    QLineEdit* mLine = nullptr;
    QPlainTextEdit* mText = nullptr;
    std::string mValue;
    int mEnabled = 1;
    int mMultiline;
};

class CStatusBar : public CWindow {
public:
    // Each entry is the right edge of a part; -1 extends the part to the right border.
    CStatusBar(CWindow* parent, QWidget* parentWidget, std::vector<int> partEdges);
    // False, with nothing changed, for a part outside those made.
    bool SetText(int part, const std::string& text);
    std::string Text(int part) const;
    // The width the part is given (the last one's follows the bar's width); 0 for a part not made.
    int StatusPartWidth(int part) const;

private:
    static constexpr double MIN_POINT_SIZE = 6;
    std::vector<int> mEdges;
    std::vector<QLabel*> mParts;
};

} // namespace tdx
