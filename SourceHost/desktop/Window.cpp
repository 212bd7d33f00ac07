#include "SourceHost/desktop/Window.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

namespace tdx {

CWindow::CWindow(CWindow* parent, QWidget* widget)
    : mParent(parent)
    , mWidget(widget) {
    if (parent != nullptr) {
        parent->mChildren.push_back(this);
    }
}

CWindow::~CWindow() {
    // Children first, each leaving this list as it goes.
    while (!mChildren.empty()) {
        delete mChildren.front();
    }
    delete mWidget.data();
    if (mParent != nullptr) {
        auto& siblings = mParent->mChildren;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

bool CWindow::Resize(int width, int height) {
    if (!mWidget) {
        return false;
    }
    mWidget->setFixedSize(width, height);
    return true;
}

bool CWindow::MoveTo(int x, int y) {
    if (!mWidget) {
        return false;
    }
    mWidget->move(x, y);
    return true;
}

void CWindow::SetFont(const QFont& font) {
    if (mWidget) {
        mWidget->setFont(font);
    }
}

int CWindow::GetWidth() const {
    return mWidget ? mWidget->width() : 0;
}

int CWindow::GetHeight() const {
    return mWidget ? mWidget->height() : 0;
}

int CWindow::GetX() const {
    return mWidget ? mWidget->x() : 0;
}

int CWindow::GetY() const {
    return mWidget ? mWidget->y() : 0;
}

void CWindow::Invalidate() {
    if (mWidget) {
        mWidget->update();
    }
}

void CWindow::RegisterChild(CWindow* child) {
    if (child != nullptr && child->mParent == nullptr) {
        child->mParent = this;
        mChildren.push_back(child);
    }
}

namespace {
template <typename W>
W* placed(W* widget, int x, int y, int width, int height) {
    widget->setGeometry(x, y, width, height);
    widget->show();
    return widget;
}
} // namespace

CLabel::CLabel(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget,
               const std::string& text)
    : CWindow(parent, placed(new QLabel(QString::fromStdString(text), parentWidget), x, y, width, height))
    , mLabel(static_cast<QLabel*>(GetHandle()))
    , mText(text) {
    mLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CLabel::Text(const std::string& text) {
    mText = text;
    mLabel->setText(QString::fromStdString(text));
}

CPushButton::CPushButton(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget,
                         const std::string& text)
    : CWindow(parent,
              placed(new QPushButton(QString::fromStdString(text), parentWidget), x, y, width, height))
    , mButton(static_cast<QPushButton*>(GetHandle()))
    , mText(text) {
    QObject::connect(mButton, &QPushButton::clicked, [this] {
        if (mCommand) {
            mCommand->execute(nullptr);
        }
    });
}

void CPushButton::Text(const std::string& text) {
    mText = text;
    mButton->setText(QString::fromStdString(text));
}

CGroupBox::CGroupBox(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget,
                     const std::string& title)
    : CWindow(parent,
              placed(new QGroupBox(QString::fromStdString(title), parentWidget), x, y, width, height)) {}

namespace {
QWidget* makeEdit(QWidget* parentWidget, const std::string& text, int multiline) {
    if (multiline != 0) {
        return new QPlainTextEdit(QString::fromStdString(text), parentWidget);
    }
    return new QLineEdit(QString::fromStdString(text), parentWidget);
}
} // namespace

CEditBox::CEditBox(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget,
                   const std::string& text, int multiline)
    : CWindow(parent, placed(makeEdit(parentWidget, text, multiline), x, y, width, height))
    , mValue(text)
    , mMultiline(multiline) {
    if (multiline != 0) {
        mText = static_cast<QPlainTextEdit*>(GetHandle());
    } else {
        mLine = static_cast<QLineEdit*>(GetHandle());
    }
}

void CEditBox::Value(const std::string& value) {
    if (value == mValue) {
        return;
    }
    mValue = value;
    if (mLine != nullptr) {
        mLine->setText(QString::fromStdString(value));
    } else {
        mText->setPlainText(QString::fromStdString(value));
    }
    ValueChanged.emit(this);
}

void CEditBox::Enabled(int enabled) {
    mEnabled = enabled;
    if (GetHandle() != nullptr) {
        GetHandle()->setEnabled(enabled != 0);
    }
}

CStatusBar::CStatusBar(CWindow* parent, QWidget* parentWidget, std::vector<int> partEdges)
    : CWindow(parent, new QStatusBar(parentWidget)) {
    auto* bar = static_cast<QStatusBar*>(GetHandle());
    bar->setSizeGripEnabled(true);
    int left = 0;
    for (int edge : partEdges) {
        auto* part = new QLabel(bar);
        if (edge >= 0) {
            part->setFixedWidth(std::max(edge - left, 0));
            left = edge;
            bar->addWidget(part);
        } else {
            bar->addWidget(part, 1);
        }
        mParts.push_back(part);
    }
    bar->show();
}

bool CStatusBar::SetText(int part, const std::string& text) {
    if (part < 0 || part >= static_cast<int>(mParts.size())) {
        return false;
    }
    mParts[static_cast<size_t>(part)]->setText(QString::fromStdString(text));
    return true;
}

std::string CStatusBar::Text(int part) const {
    if (part < 0 || part >= static_cast<int>(mParts.size())) {
        return {};
    }
    return mParts[static_cast<size_t>(part)]->text().toStdString();
}

} // namespace tdx
