#include "SourceHost/inspector/UpDown.h"

#include <QSpinBox>

#include <algorithm>

namespace tdx {

namespace {
QSpinBox* makeBox(QWidget* parentWidget, int x, int y, int width, int height, int minimum, int maximum) {
    auto* box = new QSpinBox(parentWidget);
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

void CUpDown::Value(int value) {
    mValue = std::clamp(value, mMinimum, mMaximum);
    mShowing = true;
    mBox->setValue(mValue);
    mShowing = false;
}

void CUpDown::edited(int value) {
    if (mShowing || value == mValue) {
        return;
    }
    mValue = value;
    if (mOnChange) {
        MessageArgumentInteger argument(value);
        mOnChange->execute(&argument);
    }
    ValueChanged.emit(this);
}

void CUpDown::Enabled(int enabled) {
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
