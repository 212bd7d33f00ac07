#include "SourceHost/inspector/InspectorWindow.h"

#include "Libraries/base/fmt.h"
#include "Libraries/base/i18n.h"
#include "SourceHost/desktop/Screenshot.h"
#include "SourceHost/host/InputAdapters.h"
#include "SourceHost/inspector/WindowAdapters.h"

#include <QKeyEvent>
#include <QStatusBar>
#include <QTimer>

#include <utility>

namespace tdx {

namespace {

constexpr state_id_t HOME_STATE = 9;

// The tools stand where they stand in every language: a text too long for its control gets a smaller font
// rather than being cut.
constexpr int BUTTON_PADDING = 12;

} // namespace

CMainWindow::CMainWindow(HostApplication application, TimerQueue* timers)
    : CCanvasWindow(std::move(application), timers, CLIENT_WIDTH, CLIENT_HEIGHT) {
    addListener("COMPONENT_SELECT", std::make_shared<ViewSelectAdapter>(mSelection));
    addListener("COMPONENT_DESELECT", std::make_shared<ViewDeselectAdapter>(mSelection));
    addListener("COMPONENT_TREE_CHANGE", std::make_shared<ViewDeselectAdapter>(mSelection));
    addListener("COMPONENT_NOTIFY_CHANGE", std::make_shared<ViewChangeAdapter>(mSelection));
    addListener("COMPONENT_MODIFY", std::make_shared<ComponentModifyToHostAdapter>(*mHost, mSelection));
    addListener("COMPONENT_DESELECT_REQUEST", std::make_shared<HostDeselectAdapter>(*mHost));
    addListener("GO_HOME", std::make_shared<ChangeStateAdapter>(*mHost, HOME_STATE));
    createChildWindows();
    acceptInput();
}

CMainWindow::~CMainWindow() {
    endHost();
    mList.reset();
    mMachine.reset();
}

void CMainWindow::createChildWindows() {
    QWidget* surface = GetHandle();
    mStatusBar = new CStatusBar(this, surface, {300, 350, 400, 480, 560, 640, -1});
    mStatusBar->SetText(0, gettext("Inspect component with Right Mouse Button"));
    mFileButton = new CPushButton(this, 345, 175, 140, 24, surface, gettext("Screenshot to file"));
    mFileButton->setOnClickCommand(new SaveScreenshotDialog(
        mCanvas, SaveScreenshotDialog::fileDialog(surface), screenshot_warning_box(surface)));
    mClipboardButton = new CPushButton(this, 490, 175, 140, 24, surface, gettext("Screenshot to Clipboard"));
    mClipboardButton->setOnClickCommand(new ScreenshotToClipboard(mCanvas, screenshot_warning_box(surface)));
    mZoomButton = new CPushButton(this, 345, 205, 140, 24, surface, gettext("Zoom x2"));
    mZoomButton->setOnClickCommand(new ChangeScreenScale<CMainWindow>(*this));
    keepKeyboardOffButtons({mFileButton, mClipboardButton, mZoomButton});

    mList = std::make_unique<CComponentListView>(this, 5, 295, 635, 260, surface);
    mList->setOnComponentSelectCommand(getListener("COMPONENT_SELECT_FROM_LIST"));
    addListener("COMPONENT_TREE_CHANGE", std::make_shared<HostModalToListViewAdapter>(*mList));
    addListener("COMPONENT_APPEND", std::make_shared<HostModalAppendToListViewAdapter>(*mList));
    addListener("COMPONENT_SELECT", std::make_shared<ListViewComponentSelectAdapter>(*mList));
    addListener("COMPONENT_DESELECT", std::make_shared<ListViewComponentDeselectAdapter>(*mList));
    addListener("COMPONENT_NOTIFY_CHANGE", std::make_shared<ListViewComponentNotifyChangeAdapter>(*mList));

    mEditBox = new CEditBox(this, 5, 565, 635, 50, surface, "", 1);
    // The properties are built here, wired by the window's own listeners: a panel of the four fields that
    // follows a move event by itself (ComponentPanel) is made by no window, and nor is a command mapping a
    // mouse position through the canvas (MapMouseMoveToCanvas), as the window maps every point it raises.
    // Neither is built.
    mProperties = new CGroupBox(this, 335, 5, 305, 160, surface, gettext("Properties"));
    QWidget* group = mProperties->GetHandle();
    mSelectionLabel = new CLabel(mProperties, 5, 25, 280, 20, group, gettext("Select component"));
    mCaptions.push_back({mSelectionLabel, nullptr, N_("Select component")});
    struct Field {
        ComponentAttribute attribute;
        const char* label;
        int y;
        int maximum;
    };
    // Height stands above Width.
    const Field fields[] = {{Top, NC_("Inspector", "Top"), 50, SCREEN_HEIGHT},
                            {Left, NC_("Inspector", "Left"), 77, SCREEN_WIDTH},
                            {Width, NC_("Inspector", "Width"), 131, SCREEN_WIDTH},
                            {Height, NC_("Inspector", "Height"), 104, SCREEN_HEIGHT}};
    for (const Field& f : fields) {
        auto* label = new CLabel(mProperties, 10, f.y, 40, 22, group, pgettext("Inspector", f.label));
        mCaptions.push_back({label, "Inspector", f.label});
    }
    for (const Field& f : fields) {
        mFields[f.attribute] = new CUpDown(mProperties, 55, f.y, 55, 22, group, 0, f.maximum);
    }
    for (CPushButton* button : {mFileButton, mClipboardButton, mZoomButton}) {
        FitTextToWidth(button, button->Text(), BUTTON_PADDING);
    }
    for (CWindow* label : mProperties->children()) {
        if (auto* text = dynamic_cast<CLabel*>(label)) {
            FitTextToWidth(text, text->Text(), 0);
        }
    }
    wireFields();
    buildMachine();

    mCyclesTimer = new QTimer(surface);
    QObject::connect(mCyclesTimer, &QTimer::timeout, [this] { refreshCycles(); });
    mCyclesTimer->start(static_cast<int>(CHost::SAMPLE.count()));
    Resize(CLIENT_WIDTH, CLIENT_HEIGHT);
}

void CMainWindow::wireFields() {
    const std::shared_ptr<Command> modify = getListener("COMPONENT_MODIFY");
    for (ComponentAttribute attribute : {Left, Top, Width, Height}) {
        CUpDown& field = *mFields[attribute];
        field.setOnChangeCommand(std::make_shared<IntegerToComponentAttributeAdapter>(modify, attribute));
        addListener("COMPONENT_SELECT", std::make_shared<UpDownSetEnableAdapter>(field, true));
        addListener("COMPONENT_SELECT", std::make_shared<ComponentToUpDownAdapter>(field, attribute));
        addListener("COMPONENT_DESELECT", std::make_shared<UpDownSetEnableAdapter>(field, false));
        addListener("COMPONENT_MODIFY", std::make_shared<ComponentChangeAdapter>(field, attribute));
        // What the application made of an edit: the component's own value.
        addListener("COMPONENT_NOTIFY_CHANGE",
                    std::make_shared<ComponentToUpDownAdapter>(field, attribute, &mSelection));
    }
}

void CMainWindow::buildMachine() {
    mMachine = std::make_shared<StateMachine>("ComponentMachine");
    const std::shared_ptr<Command> modify = getListener("COMPONENT_MODIFY");
    auto deselected = std::make_shared<StateCommand>("Deselected");
    auto touching = std::make_shared<TouchingStateCommand>("Touching", *mHost);
    auto selected = std::make_shared<StateCommand>("Selected");
    auto moving = std::make_shared<MovingStateCommand>("Moving", mSelection, modify);
    // A press at the corner resizes: a "Resizing" that changed nothing would take the press from the
    // application and give the user nothing for it, while the Width and Height fields already resize.
    auto resizing = std::make_shared<ResizingStateCommand>("Resizing", mSelection, modify);
    mMachine->addTransition(deselected, "Select", selected);
    mMachine->addTransition(deselected, "TouchStart", touching);
    mMachine->addTransition(touching, "TouchRelease", deselected);
    mMachine->addTransition(touching, "Deselect", deselected);
    mMachine->addTransition(selected, "Deselect", deselected);
    mMachine->addTransition(selected, "TouchStartAtArea", moving);
    mMachine->addTransition(selected, "TouchStartAtResizeArea", resizing);
    mMachine->addTransition(moving, "Deselect", deselected);
    mMachine->addTransition(moving, "TouchRelease", selected);
    mMachine->addTransition(resizing, "Deselect", deselected);
    mMachine->addTransition(resizing, "TouchRelease", selected);

    auto event = [this](const char* name) {
        return std::make_shared<CommandToStateMachineAdapter>(mMachine, name);
    };
    auto inState = [this](const std::shared_ptr<StateCommand>& state) {
        return std::make_shared<IsInState>(mMachine, state);
    };
    addListener("COMPONENT_DESELECT", event("Deselect"));
    addListener("COMPONENT_SELECT", event("Select"));
    addListener("TOUCH_START",
                std::make_shared<ExecuteIfPredicate>(inState(deselected), event("TouchStart")));
    addListener("TOUCH_DRAG", event("TouchDrag"));
    addListener("TOUCH_START", std::make_shared<ExecuteIfPredicate>(
                                   inState(selected), std::make_shared<ExecuteIfCommandPredicate>(
                                                          std::make_shared<IsInResizeAreaCond>(mSelection),
                                                          event("TouchStartAtResizeArea"))));
    addListener("TOUCH_START", std::make_shared<ExecuteIfPredicate>(
                                   inState(selected), std::make_shared<ExecuteIfCommandPredicate>(
                                                          std::make_shared<IsInAreaCond>(mSelection),
                                                          event("TouchStartAtArea"))));
    addListener("TOUCH_RELEASE", event("TouchRelease"));
    mMachine->start(deselected);
}

WindowPoster CMainWindow::poster() {
    QWidget* surface = GetHandle();
    return [surface](std::function<void()> work) {
        QMetaObject::invokeMethod(surface, std::move(work), Qt::QueuedConnection);
    };
}

void CMainWindow::refreshCycles() {
    retranslate();
    mStatusBar->SetText(CYCLES_PART, fmt_gettext("%u Cycles/s", mHost->cyclesPerSecond()));
}

void CMainWindow::retranslate() {
    mStatusBar->SetText(0, gettext("Inspect component with Right Mouse Button"));
    const std::pair<CPushButton*, const char*> buttons[] = {
        {mFileButton, N_("Screenshot to file")},
        {mClipboardButton, N_("Screenshot to Clipboard")},
        {mZoomButton, mCanvas->GetScale() == 1 ? N_("Zoom x2") : N_("Zoom x1")}};
    for (const auto& [button, msgid] : buttons) {
        SetFittedText(button, gettext(msgid), BUTTON_PADDING);
    }
    if (const char* title = gettext("Properties"); mProperties->Title() != title) {
        mProperties->Title(title);
    }
    for (const Caption& caption : mCaptions) {
        SetFittedText(caption.label, pgettext(caption.context, caption.msgid), 0);
    }
    mList->Retranslate();
    followLanguage();
}

bool CMainWindow::Resize(int width, int height) {
    const bool resized = CWindow::Resize(width, height);
    // The status bar runs along the bottom edge.
    if (QWidget* bar = mStatusBar != nullptr ? mStatusBar->GetHandle() : nullptr) {
        const int barHeight = bar->sizeHint().height();
        bar->setGeometry(0, height - barHeight, width, barHeight);
    }
    return resized;
}

void CMainWindow::ChangeScale() {
    const bool up = mCanvas->GetScale() == 1;
    mCanvas->SetScale(up ? 2 : 1);
    SetFittedText(mZoomButton, up ? gettext("Zoom x1") : gettext("Zoom x2"), BUTTON_PADDING);
    const int dx = up ? SCREEN_WIDTH : -SCREEN_WIDTH;
    const int dy = up ? SCREEN_HEIGHT : -SCREEN_HEIGHT;
    for (CWindow* w :
         std::initializer_list<CWindow*>{mProperties, mFileButton, mClipboardButton, mZoomButton}) {
        w->MoveTo(w->GetX() + dx, w->GetY());
    }
    mEditBox->MoveTo(mEditBox->GetX(), mEditBox->GetY() + dy);
    mList->MoveTo(mList->GetX(), mList->GetY() + dy);
    Resize(GetWidth() + dx, GetHeight() + dy);
    Invalidate();
}

// ---- input ----

bool CMainWindow::otherButtonPress(Qt::MouseButton button, QPointF point) {
    if (button != Qt::RightButton || !onCanvas(point)) {
        return false;
    }
    if (mSelection.getState() != 0) {
        raise("COMPONENT_DESELECT_REQUEST", nullptr);
        return false;
    }
    int x = static_cast<int>(point.x());
    int y = static_cast<int>(point.y());
    mCanvas->MapPointToRect(&x, &y);
    mHost->SelectComponent(x, y);
    return true;
}

void CMainWindow::keyPress(QKeyEvent* event) {
    const bool selected = mSelection.getState() != 0;
    if (selected && event->key() == Qt::Key_Escape) {
        // Undo the moves and resizes, then let go; the key itself goes on to the application.
        MessageArgumentComponentCopy target(mSelection.getComponent());
        raise("COMPONENT_RESET", &target);
        raise("COMPONENT_DESELECT_REQUEST", nullptr);
    }
    raiseKeys(event, !selected);
}

} // namespace tdx
