#include "SourceHost/desktop/Window.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
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
    // The windows colour every static text's ground white, which sets a caption apart from the face of the
    // group it stands in.
    QPalette palette = mLabel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    mLabel->setPalette(palette);
    mLabel->setAutoFillBackground(true);
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

void FitTextToWidth(CWindow* control, const std::string& text, int padding) {
    QWidget* widget = control->GetHandle();
    const QString shown = QString::fromStdString(text);
    QFont font = widget->parentWidget() != nullptr ? widget->parentWidget()->font() : widget->font();
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(shown) + padding > widget->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    widget->setFont(font);
}

void CPushButton::Text(const std::string& text) {
    mText = text;
    mButton->setText(QString::fromStdString(text));
}

CGroupBox::CGroupBox(CWindow* parent, int x, int y, int width, int height, QWidget* parentWidget,
                     const std::string& title)
    : CWindow(parent,
              placed(new QGroupBox(QString::fromStdString(title), parentWidget), x, y, width, height)) {}

void CGroupBox::Title(const std::string& title) {
    static_cast<QGroupBox*>(GetHandle())->setTitle(QString::fromStdString(title));
}

std::string CGroupBox::Title() const {
    return static_cast<QGroupBox*>(GetHandle())->title().toStdString();
}

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

namespace {
// A status bar whose parts end at the right edges given, whatever they show; the toolkit's own bar would lay
// them out with margins and spacing of its own and squeeze them to fit.
class PartsBar : public QStatusBar {
public:
    PartsBar(QWidget* parent, std::vector<int> edges)
        : QStatusBar(parent)
        , mEdges(std::move(edges)) {}
    void addPart(QLabel* part) { mParts.push_back(part); }
    QSize sizeHint() const override {
        QSize size = QStatusBar::sizeHint();
        for (const QLabel* part : mParts) {
            size.setHeight(std::max(size.height(), part->sizeHint().height() + 2 * PART_MARGIN));
        }
        return size;
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QStatusBar::resizeEvent(event);
        int left = 0;
        for (size_t i = 0; i < mParts.size(); ++i) {
            const int right = mEdges[i] >= 0 ? std::max(mEdges[i], left) : std::max(width(), left);
            mParts[i]->setGeometry(left, 0, right - left, height());
            left = right;
        }
    }

private:
    static constexpr int PART_MARGIN = 2;
    std::vector<int> mEdges;
    std::vector<QLabel*> mParts;
};
} // namespace

CStatusBar::CStatusBar(CWindow* parent, QWidget* parentWidget, std::vector<int> partEdges)
    : CWindow(parent, new PartsBar(parentWidget, partEdges))
    , mEdges(partEdges) {
    auto* bar = static_cast<PartsBar*>(GetHandle());
    bar->setSizeGripEnabled(true);
    for (size_t i = 0; i < partEdges.size(); ++i) {
        auto* part = new QLabel(bar);
        // The text a little in from the part's left edge, as in a sunken part.
        part->setIndent(4);
        bar->addPart(part);
        mParts.push_back(part);
    }
    bar->show();
}

bool CStatusBar::SetText(int part, const std::string& text) {
    if (part < 0 || part >= static_cast<int>(mParts.size())) {
        return false;
    }
    QLabel* label = mParts[static_cast<size_t>(part)];
    const QString shown = QString::fromStdString(text);
    // A text too long for its part gets a smaller font rather than being cut: the parts stand where they
    // stand in every language.
    QFont font = GetHandle()->font();
    const int room = StatusPartWidth(part) - 2 * label->indent();
    while (room > 0 && font.pointSizeF() > MIN_POINT_SIZE &&
           QFontMetrics(font).horizontalAdvance(shown) > room) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label->setFont(font);
    label->setText(shown);
    return true;
}

int CStatusBar::StatusPartWidth(int part) const {
    if (part < 0 || part >= static_cast<int>(mEdges.size())) {
        return 0;
    }
    const int left = part == 0 ? 0 : mEdges[static_cast<size_t>(part) - 1];
    const int right = mEdges[static_cast<size_t>(part)];
    return right >= 0 ? right - left : GetHandle()->width() - left;
}

std::string CStatusBar::Text(int part) const {
    if (part < 0 || part >= static_cast<int>(mParts.size())) {
        return {};
    }
    return mParts[static_cast<size_t>(part)]->text().toStdString();
}

} // namespace tdx
