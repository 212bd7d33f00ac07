// The navigation state the week-schedule screens hand to each other: which schedule value is edited, the
// title to show and, for a day screen, the day row the user came from. Parameters: 1 object id, 2 value id,
// 3 source day, 4 zero; the title is the text parameter. Copies made by the navigation history are
// ScheduleEditStates too, so a screen coming back from a deeper one reads the same accessors.
#pragma once

#include "SourceApp/gui/core/state/State.h"
#include "SourceApp/storage/Ovi.h"

#include <memory>
#include <string>

namespace tdx {

class ScheduleEditState : public SingleParamState<std::string> {
public:
    // stateId: 16 for the week, 18 for one day of it; sourceDay 0 for the week.
    ScheduleEditState(unsigned stateId, const Ovi& ovi, const std::string& title, unsigned char sourceDay)
        : SingleParamState(stateId, ovi.oid, ovi.vid, sourceDay, 0, title) {}
    ScheduleEditState(const ScheduleEditState&) = default;

    std::unique_ptr<State> clone() const override { return std::make_unique<ScheduleEditState>(*this); }

    Ovi getOvi() const { return Ovi(getP1(), static_cast<vid_t>(getP2())); }
    const std::string& getTitle() const { return getParam(); }
    unsigned char getSourceDay() const { return static_cast<unsigned char>(getP3()); }
};

} // namespace tdx
