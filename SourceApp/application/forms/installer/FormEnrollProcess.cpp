#include "SourceApp/application/forms/installer/FormEnrollProcess.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/forms/installer/InstallerValues.h"
#include "SourceApp/big_table/proxytab.h"
#include "SourceApp/system/SystemMgr.h"

namespace tdx {

using namespace installer;

namespace {

constexpr RequestProcessForm::Texts ENROL_TEXTS{
    N_("Enrolling"), N_("Enrollment in progress, waiting for confirmation"), N_("Enrollment complete"),
    N_("Enrollment failed"), N_("Enrollment timed out, control unit did not respond yet.")};
constexpr RequestProcessForm::Texts REMOVE_TEXTS{
    N_("Removing"), N_("Removal in progress, waiting for confirmation"), N_("Removal complete"),
    N_("Removal failed"), N_("Removal timed out, control unit did not respond yet.")};
constexpr RequestProcessForm::Texts PROFILE_TEXTS{
    N_("Changing profile"), N_("Profile change in progress, device will reset afterwards."),
    N_("Profile change complete"), N_("Profile change failed"),
    N_("Profile change timed out, control unit did not respond yet.")};

// Writes the state's ids, each once and at most 64, to the list value; false when there are none to write
// or the write fails.
bool requestList(const State& state, vid_t list) {
    const std::vector<uint32_t> ids = distinctIds(handedIds(state));
    if (ids.empty()) {
        dbg_printf_h("request of %04X without ids: nothing written", list);
        return false;
    }
    if (writeIds(OID_LOCATION, list, ids) != PT_OK) {
        dbg_printf_h("request of %04X could not be written", list);
        return false;
    }
    return true;
}

// The control unit empties the list when it is done; a list that no longer reads is a refusal.
RequestProcessForm::Answer listAnswer(vid_t list) {
    uint8_t bytes[MAX_IDS * 4];
    const int length = pt_get_data(bytes, sizeof bytes, OID_LOCATION, list);
    if (length < 0) {
        return RequestProcessForm::Answer::Failure;
    }
    return length / 4 > 0 ? RequestProcessForm::Answer::Pending : RequestProcessForm::Answer::Success;
}

void backTimes(VexalForm& form, int times) {
    for (int i = 0; i < times; ++i) {
        form.backOrDefault();
    }
}

} // namespace

FormEnrollProcess::FormEnrollProcess(const State& state)
    : RequestProcessForm(state, "FormEnrollProcess", ENROL_TEXTS, VID_LEARN_LIST) {
    initialize();
}

FormEnrollProcess::~FormEnrollProcess() = default;

bool FormEnrollProcess::request() {
    // The list first: the control unit takes the serial number as the signal to enrol what the list names.
    return requestList(getState(), VID_LEARN_LIST) &&
           pt_set_int(OID_LOCATION, VID_LEARN_SERIAL, static_cast<int>(getState().getP1()), BT_VTYPE_U32) ==
               PT_OK;
}

RequestProcessForm::Answer FormEnrollProcess::answer() {
    return listAnswer(VID_LEARN_LIST);
}

void FormEnrollProcess::finish() {
    // Back past the serial number and the target choice, to where the wizard was opened.
    backTimes(*this, 3);
}

FormRemoveProcess::FormRemoveProcess(const State& state)
    : RequestProcessForm(state, "FormRemoveProcess", REMOVE_TEXTS, VID_DELETE_LIST) {
    initialize();
}

FormRemoveProcess::~FormRemoveProcess() = default;

bool FormRemoveProcess::request() {
    return requestList(getState(), VID_DELETE_LIST);
}

RequestProcessForm::Answer FormRemoveProcess::answer() {
    return listAnswer(VID_DELETE_LIST);
}

void FormRemoveProcess::finish() {
    backTimes(*this, 2);
}

FormProfileChangeProcess::FormProfileChangeProcess(const State& state)
    : RequestProcessForm(state, "FormProfileChangeProcess", PROFILE_TEXTS, VID_PROFILE) {
    initialize();
}

FormProfileChangeProcess::~FormProfileChangeProcess() = default;

bool FormProfileChangeProcess::request() {
    mBefore = currentProfile();
    return pt_set_int(OID_LOCATION, VID_REQUESTED_PROFILE, static_cast<int>(getState().getP1() & 0xFF),
                      BT_VTYPE_U8) == PT_OK;
}

std::optional<uint32_t> FormProfileChangeProcess::currentProfile() {
    const std::optional<int> current = pt_read_int(OID_LOCATION, VID_PROFILE);
    if (!current) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*current) & 0xFF;
}

std::optional<uint32_t> FormProfileChangeProcess::requestedProfile() {
    const std::optional<int> requested = pt_read_int(OID_LOCATION, VID_REQUESTED_PROFILE);
    if (!requested) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*requested) & 0xFF;
}

RequestProcessForm::Answer FormProfileChangeProcess::answer() {
    const std::optional<uint32_t> current = currentProfile();
    if (!current) {
        // No profile to judge while the value is gone or invalid (the unit restarting): the wait goes on.
        return Answer::Pending;
    }
    if (*current == (getState().getP1() & 0xFF)) {
        return Answer::Success;
    }
    // The unit announcing the profile it ran before has not yet applied the request: that is no answer.
    // Any other profile is one it will not leave, so the wait ends at once. (With no profile known from
    // before the request, every profile but the requested one counts as such.)
    if (current == mBefore) {
        mOtherProfile = true;
        return Answer::Pending;
    }
    // The request as the control unit holds it now is the profile it was asked for.
    if (current == requestedProfile()) {
        return Answer::Success;
    }
    dbg_printf_h("profile %u requested, the control unit runs %u", getState().getP1() & 0xFF, *current);
    return Answer::Failure;
}

void FormProfileChangeProcess::finish() {
    // The display starts again to mirror the control unit's new model from scratch.
    getApplication()->getSystemManager()->systemRestart();
}

} // namespace tdx
