#include "SourceHost/inspector/UpDown.h"

#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <limits>

namespace tdx {

namespace {
// Digits only, as many as typed: a number beyond the range is the nearest limit (999 in a field up to 320 is
// 320, not 99 with the last digit refused) and an empty field is 0 kept inside the range. The text stays as
// typed until editing ends.
class ClampingSpinBox : public QSpinBox {
public:
    explicit ClampingSpinBox(QWidget* parentWidget)
        : QSpinBox(parentWidget) {
        // Empty until there is a value to show: a 0 in a field before anything was selected would read as a
        // component at 0. The user's own typing or stepping ends it as a value set does.
        lineEdit()->clear();
        QObject::connect(lineEdit(), &QLineEdit::textEdited, [this] { mBlank = false; });
    }
    // The value's text from now on.
    void showValue() { mBlank = false; }
    void stepBy(int steps) override {
        mBlank = false;
        QSpinBox::stepBy(steps);
    }
    QString textFromValue(int value) const override {
        return mBlank ? QString() : QSpinBox::textFromValue(value);
    }
    QValidator::State validate(QString& text, int&) const override {
        for (QChar c : text) {
            if (!c.isDigit()) {
                return QValidator::Invalid;
            }
        }
        return QValidator::Acceptable;
    }
    int valueFromText(const QString& text) const override {
        bool fits = false;
        const long long typed = text.toLongLong(&fits);
        // A number too long for any int counts as 0, as one that holds no number.
        const long long value = fits && typed <= std::numeric_limits<int>::max() ? typed : 0;
        return static_cast<int>(std::clamp<long long>(value, minimum(), maximum()));
    }

private:
    bool mBlank = true;
};

QSpinBox* makeBox(QWidget* parentWidget, int x, int y, int width, int height, int minimum, int maximum) {
    auto* box = new ClampingSpinBox(parentWidget);
    box->setRange(minimum, maximum);
    box->setGeometry(x, y, width, height);
    box->show();
    return box;
}
} // namespace

CUpDown::CUpDown(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget, int minimum,
                 int maximum)
    : CWindow(parent, makeBox(parentWidget, x, y, width, height, minimum, maximum))
    , mBox(static_cast<QSpinBox*>(GetHandle()))
    , mMinimum(minimum)
    , mMaximum(std::max(minimum, maximum)) {
    mValue = std::clamp(0, mMinimum, mMaximum);
    QObject::connect(mBox, &QSpinBox::valueChanged, [this](int value) { edited(value); });
}

bool CUpDown::take(int value) {
    value = std::clamp(value, mMinimum, mMaximum);
    // The value already held leaves the text alone: the echo of the user's own edit would otherwise replace
    // what is being typed.
    if (value == mValue) {
        return false;
    }
    mValue = value;
    return true;
}

void CUpDown::show() {
    mShowing = true;
    static_cast<ClampingSpinBox*>(mBox)->showValue();
    mBox->setValue(mValue);
    mShowing = false;
}

void CUpDown::Value(int value) {
    if (take(value)) {
        show();
    }
}

void CUpDown::Value(int value, bool updateText) {
    if (!take(value)) {
        return;
    }
    if (updateText) {
        show();
    }
    if (mOnChange) {
        MessageArgumentInteger argument(mValue);
        mOnChange->execute(&argument);
    }
    ValueChanged.emit(this);
}

void CUpDown::edited(int value) {
    if (!mShowing) {
        Value(value, false);
    }
}

void CUpDown::Enabled(int enabled) {
    // The arrows go with the field: disabled, it belongs to no selected component, and a step there would
    // change a number that moves nothing while looking like a position.
    mEnabled = enabled;
    mBox->setEnabled(enabled != 0);
}

void CUpDown::execute(MessageArgument* argument) {
    MessageReaderInteger integer;
    if (integer.tryRead(argument)) {
        Value(integer.getIntegerValue());
    }
}

} // namespace tdx
