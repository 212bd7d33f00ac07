#include "SourceApp/application/forms/VexalForm.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/application/AlarmMgr.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/commands/ScrollBarCommands.h"
#include "SourceApp/application/commands/bindings/DatetimeItem.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/IconButton.h"
#include "SourceApp/application/controls/ScrollBar.h"
#include "SourceApp/application/controls/TopBar.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/application/update/UpdateManager.h"
#include "SourceApp/gui/core/Core.h"
#include "SourceApp/gui/core/layout/Viewport.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <algorithm>
#include <string>

namespace tdx {

namespace {

constexpr int BUTTON_WIDTH = 51;
constexpr int SCROLL_BAR_X = 295;
constexpr int SCROLL_BAR_Y = 31;
constexpr unsigned PASSIVE_ALARM_FACE = colour::CONTROL;

IconButton* topBarButton(TopBar* bar, resource_id icon, int faceColour, int8_t iconDy) {
    return IconButton::Builder{.parent = bar,
                               .width = BUTTON_WIDTH,
                               .height = TopBar::HEIGHT,
                               .backColor = static_cast<int>(VexalForm::TOP_BAR_COLOR),
                               .faceColor = faceColour,
                               .activeBackColor = static_cast<int>(VexalForm::TOP_BAR_ACTIVE_COLOR),
                               .activeFaceColor = static_cast<int>(colour::WHITE),
                               .disabledBackColor = static_cast<int>(VexalForm::TOP_BAR_COLOR),
                               .disabledFaceColor = static_cast<int>(colour::CONTROL),
                               .icon = icon,
                               .iconDy = iconDy}
        .build();
}

} // namespace

VexalForm::VexalForm(const State& state)
    : Form(state) {
    new Oblong(this, 0, 0, 320, 240, colour::WHITE);
    mTopBar = new TopBar(this);
    mBackButton = topBarButton(mTopBar, res_topbar_back, colour::WHITE, 0);
    mHomeButton = topBarButton(mTopBar, res_home, colour::WHITE, 0);
    mDatetime = new DatetimeItem(mTopBar, 0, 0, 113, TopBar::HEIGHT);
    mAlarmButton = topBarButton(mTopBar, res_warning_passive, PASSIVE_ALARM_FACE, 1);
    updateAlarms();
    mAlarmButton->setClickCommand(std::make_unique<ChangeStateCommand>(ALARMS_STATE_ID));
    // As wide as the other buttons: with the gaps its last column lies beyond the screen's edge, unseen.
    mHelpButton = topBarButton(mTopBar, res_question, colour::WHITE, -1);
    mBackButton->setEnabled(core().getStateManager().isBackEnabled());
    mHelpButton->setEnabled(false);
}

VexalForm::~VexalForm() = default;

Core& VexalForm::core() {
    return *getApplication()->getCore();
}

void VexalForm::changeState(const State& state) {
    core().changeState(state);
}

void VexalForm::changeState(int id, int p1, int p2, int p3, int p4) {
    core().changeState(static_cast<unsigned>(id), p1, p2, p3, p4);
}

void VexalForm::replaceState(const State& state) {
    core().replaceState(state);
}

void VexalForm::replaceState(int id, int p1, int p2, int p3, int p4) {
    core().replaceState(static_cast<unsigned>(id), p1, p2, p3, p4);
}

void VexalForm::backOrDefault() {
    core().prevState();
}

void VexalForm::setNavigationEnabled(bool enabled) {
    mHomeButton->setEnabled(enabled);
    mBackButton->setEnabled(enabled);
    mAlarmButton->setEnabled(enabled);
}

void VexalForm::setNavigationBackColor(unsigned colour) {
    mTopBar->setBackColor(colour);
}

Viewport* VexalForm::createViewport(int x, int y, int width, int height) {
    mViewport = new Viewport(this, x, y, width, height);
    return mViewport;
}

void VexalForm::attachContent(Container* content, int scrollBarHeight) {
    mContent = content;
    mViewport->setContent(content);
    mScrollBar = new ScrollBar(this, SCROLL_BAR_X, SCROLL_BAR_Y, scrollBarHeight);
    content->setOnSizeChangeCommand(std::make_unique<ViewportSizeToScrollBarCommand>(mViewport, mScrollBar));
    mScrollBar->setOnScrollCommand(
        std::make_unique<ScrollBarPositionToViewportCommand>(mViewport, mScrollBar));
    ViewportSizeToScrollBarCommand(mViewport, mScrollBar).execute();
}

void VexalForm::scrollTo(const Component* component, FocusPosition position, int top, int bottom) {
    if (mContent == nullptr || mScrollBar == nullptr) {
        return;
    }
    // The top bar, or an editor on a popup layer passing the request down, asks for something this content
    // cannot show.
    if (component == nullptr || !component->isChildOf(mContent)) {
        dbg_printf_h("%s: focus request from outside the content ignored",
                     component != nullptr ? component->getName() : std::string("no component"));
        return;
    }
    int p = mViewport->getVerticalPosition();
    const int viewTop = mViewport->getTop();
    const int viewBottom = mViewport->getBottom();
    switch (position) {
        case FOCUS_TOP:
            p += top - viewTop;
            break;
        case FOCUS_BOTTOM:
            p += bottom - viewBottom;
            break;
        case FOCUS_AS_NEEDED:
            if (viewTop > top && viewBottom > bottom) {
                p += top - viewTop;
            } else if (viewTop < top && viewBottom < bottom) {
                p += std::min(bottom - viewBottom, top - viewTop);
            }
            break;
        default:
            break;
    }
    mScrollBar->setThumbPosition(p);
}

resource_id VexalForm::getHelpResource() {
    const uint32_t translation = i18n.getTranslationId();
    const char* name =
        translation == 0 ? "res_translation_en" : ResourceMgr::getName(static_cast<resource_id>(translation));
    if (name == nullptr) {
        return res_none;
    }
    const resource_id help = ResourceMgr::getIdByName((std::string(name) + "_help").c_str());
    // A resources file built without the help texts holds an empty entry under their name: a button that
    // opened nothing but "not available" would only mislead.
    if (help == res_none || !getApplication()->getResourceManager()->get(help).isValid()) {
        return res_none;
    }
    return help;
}

void VexalForm::setHelp(const char* topic) {
    if (topic == nullptr || getHelpResource() == res_none) {
        mHelpButton->setEnabled(false);
        return;
    }
    mHelpButton->setEnabled(true);
    mHelpButton->setPressCommand(std::make_unique<ChangeStateCommand>(
        SingleParamState<std::string>(HELP_STATE_ID, 0, 0, 0, 0, std::string(topic))));
}

void VexalForm::updateAlarms() {
    struct Look {
        resource_id icon;
        int dy;
        unsigned face;
        unsigned activeFace;
    };
    static constexpr Look LOOKS[] = {
        {res_warning_passive, 1, PASSIVE_ALARM_FACE, colour::WHITE},
        {res_warning_active, 0, WARNING_COLOR, WARNING_COLOR},
        {res_warning_active, 0, ALARM_COLOR, ALARM_COLOR},
    };
    const auto state = static_cast<unsigned>(getApplication()->getAlarmManager()->getAlarmState());
    if (state >= std::size(LOOKS)) {
        return;
    }
    const Look& look = LOOKS[state];
    mAlarmButton->setIcon(look.icon, 0, look.dy);
    mAlarmButton->setFaceColor(look.face);
    mAlarmButton->setActiveFaceColor(look.activeFace);
}

void VexalForm::handleEvent(Event* event) {
    if (event->kind == EVENT_NETWORK_NOT_CONNECTED) {
        event->kind = EVENT_NONE;
        if (getApplication()->getUpdateManager()->handleNetworkLoss()) {
            dbg_printf_h("network down while the update expects it: the screen stays");
            return;
        }
        // Twice in one pass (the port failed as the control unit went silent) still leaves one entry.
        if (core().getStateManager().getState().getStateId() != NOT_ENROLLED_STATE_ID) {
            core().changeState(NOT_ENROLLED_STATE_ID, 0, 0, 0, 0);
        }
        return;
    }
    Form::handleEvent(event);
}

void VexalForm::handleMessage(Message* message) {
    if (message->isClick(mHomeButton)) {
        core().defaultState();
    } else if (message->isClick(mBackButton)) {
        core().prevState();
    } else {
        switch (message->id) {
            case MSG_ALARM_ADDED:
            case MSG_ALARM_REMOVED:
                updateAlarms();
                break;
            case MSG_FOCUS_REQUEST: {
                // Requests queued in one pass (a row asking for its head, its editor for the whole row) all
                // name places of the content as it stood then: each is taken where its range stands now, so
                // that a scroll made for one is not made again for the next.
                const int moved = message->source != nullptr ? message->source->getTop() - message->p4 : 0;
                scrollTo(message->source, static_cast<FocusPosition>(message->p1), message->p2 + moved,
                         message->p3 + moved);
                break;
            }
            case MSG_SCROLL_LOCK_REQUEST:
            case MSG_SCROLL_UNLOCK_REQUEST:
                if (mScrollBar != nullptr) {
                    mScrollBar->setLocked(message->id == MSG_SCROLL_LOCK_REQUEST);
                }
                break;
            case MSG_NAVIGATION_LOCK_REQUEST:
            case MSG_NAVIGATION_UNLOCK_REQUEST:
                setNavigationEnabled(message->id == MSG_NAVIGATION_UNLOCK_REQUEST);
                break;
            default:
                break;
        }
    }
    Form::handleMessage(message);
}

} // namespace tdx
