// The frame every screen sits in: a white page, the top bar with back, home, clock, alarm and help, and the
// screen's form model. The derived frames add a scrolled content area with its scroll bar, a sidebar of tabs
// or a wizard footer. A screen builds its rows in its constructor, binds them through getModel() and keeps
// its message handler short; it reaches other screens only through the navigation members here.
#pragma once

#include "SourceApp/application/commands/bindings/FormModel.h"
#include "SourceApp/application/resources/resource_names.h"
#include "SourceApp/gui/core/Form.h"

namespace tdx {

class Container;
class Core;
class DatetimeItem;
class IconButton;
class ScrollBar;
class TopBar;
class Viewport;

class VexalForm : public Form {
public:
    static constexpr unsigned TOP_BAR_COLOR = 0xCBA14F;
    static constexpr unsigned TOP_BAR_ACTIVE_COLOR = 0x9B7B3A;
    static constexpr unsigned ALARM_COLOR = 0x312CD8;
    static constexpr unsigned WARNING_COLOR = 0x41DEFF;
    static constexpr state_id_t ALARMS_STATE_ID = 7;
    static constexpr state_id_t HELP_STATE_ID = 8;
    static constexpr state_id_t NOT_ENROLLED_STATE_ID = 1;

    explicit VexalForm(const State& state);
    ~VexalForm() override;

    // Forward: the current screen's component states are saved and the new screen is built in the core's
    // next task.
    void changeState(const State& state);
    void changeState(int id, int p1, int p2, int p3, int p4);
    // The newest history entry is replaced; nothing is saved.
    void replaceState(const State& state);
    void replaceState(int id, int p1, int p2, int p3, int p4);
    // Back one screen, or home when the history is empty.
    void backOrDefault();

    // Home, back and alarm together, e.g. while an editor must be finished first.
    void setNavigationEnabled(bool enabled);
    void setNavigationBackColor(unsigned colour);

    // Scrolls the content so that the area top..bottom (absolute y) of the component shows; a request from
    // outside the content is ignored with a trace.
    void scrollTo(const Component* component, FocusPosition position, int top, int bottom);
    // Offers help on the topic when the current language has a help resource; else the help button stays
    // disabled.
    void setHelp(const char* topic);
    // The help catalogue of the current language: the resource named after its translation catalogue
    // ("res_translation_en" for the built-in English) with "_help" appended; res_none when there is none or
    // the resources file holds nothing for it.
    static resource_id getHelpResource();
    FormModel& getModel() { return mModel; }
    // The alarm button follows the alarm manager's state.
    void updateAlarms();

    void handleMessage(Message* message) override;
    // A lost network leads to the not-enrolled screen from any framed screen.
    void handleEvent(Event* event) override;

protected:
    // The scrolled content area of the derived frames: the viewport, the content the caller builds inside it,
    // and the scroll bar at the right edge, coupled both ways.
    Viewport* createViewport(int x, int y, int width, int height);
    void attachContent(Container* content, int scrollBarHeight);

    FormModel mModel;
    TopBar* mTopBar = nullptr;
    DatetimeItem* mDatetime = nullptr;
    IconButton* mBackButton = nullptr;
    IconButton* mHomeButton = nullptr;
    IconButton* mAlarmButton = nullptr;
    IconButton* mHelpButton = nullptr;
    ScrollBar* mScrollBar = nullptr;
    Viewport* mViewport = nullptr;
    Container* mContent = nullptr;

private:
    static Core& core();
};

} // namespace tdx
