#include "SourceHost/desktop/SimpleMainWindow.h"

#include "Libraries/base/i18n.h"
#include "SourceHost/host/CHost.h"
#include "SourceHost/host/InputAdapters.h"

#include <QTimer>

#include <utility>

namespace tdx {

namespace {

constexpr int BUTTON_Y = 255;
constexpr int BUTTON_PADDING = 6;

} // namespace

CSimpleMainWindow::CSimpleMainWindow(HostApplication application, TimerQueue* timers)
    : CCanvasWindow(std::move(application), timers, clientWidth(1), clientHeight(1)) {
    createChildWindows();
    acceptInput();
}

void CSimpleMainWindow::createChildWindows() {
    QWidget* surface = GetHandle();
    mZoomButton = new CPushButton(this, 5, BUTTON_Y, 70, 24, surface, gettext("Zoom"));
    mZoomButton->setOnClickCommand(new ChangeScreenScale<CSimpleMainWindow>(*this));
    mSaveButton = new CPushButton(this, 80, BUTTON_Y, 100, 24, surface, gettext("Save screenshot"));
    mSaveButton->setOnClickCommand(new SaveScreenshotDialog(
        mCanvas, SaveScreenshotDialog::fileDialog(surface), screenshot_warning_box(surface)));
    mClipboardButton = new CPushButton(this, 185, BUTTON_Y, 140, 24, surface, gettext("Screen to Clipboard"));
    mClipboardButton->setOnClickCommand(new ScreenshotToClipboard(mCanvas, screenshot_warning_box(surface)));
    keepKeyboardOffButtons({mZoomButton, mSaveButton, mClipboardButton});
    retranslate();
    auto* languageTimer = new QTimer(surface);
    QObject::connect(languageTimer, &QTimer::timeout, [this] { retranslate(); });
    languageTimer->start(static_cast<int>(CHost::SAMPLE.count()));

    mMachine = std::make_shared<StateMachine>("ComponentMachine");
    auto deselected = std::make_shared<StateCommand>("Deselected");
    auto touching = std::make_shared<TouchingStateCommand>("Touching", *mHost);
    mMachine->addTransition(deselected, "TouchStart", touching);
    mMachine->addTransition(touching, "TouchRelease", deselected);
    addListener("TOUCH_START", std::make_shared<CommandToStateMachineAdapter>(mMachine, "TouchStart"));
    addListener("TOUCH_DRAG", std::make_shared<CommandToStateMachineAdapter>(mMachine, "TouchDrag"));
    addListener("TOUCH_RELEASE", std::make_shared<CommandToStateMachineAdapter>(mMachine, "TouchRelease"));
    mMachine->start(deselected);
}

void CSimpleMainWindow::retranslate() {
    const std::pair<CPushButton*, const char*> buttons[] = {{mZoomButton, N_("Zoom")},
                                                            {mSaveButton, N_("Save screenshot")},
                                                            {mClipboardButton, N_("Screen to Clipboard")}};
    for (const auto& [button, msgid] : buttons) {
        SetFittedText(button, gettext(msgid), BUTTON_PADDING);
    }
    followLanguage();
}

void CSimpleMainWindow::ChangeScale() {
    const int scale = mCanvas->GetScale();
    const int next = scale >= 3 ? 1 : scale + 1;
    const int dy = (next - scale) * SCREEN_HEIGHT;
    mCanvas->SetScale(next);
    for (CPushButton* button : {mSaveButton, mClipboardButton, mZoomButton}) {
        button->MoveTo(button->GetX(), button->GetY() + dy);
    }
    Resize(clientWidth(next), clientHeight(next));
    Invalidate();
}

} // namespace tdx
