#include "SourceApp/application/forms/installer/RequestProcessForm.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/forms/installer/InstallerValues.h"
#include "SourceApp/gui/bif/bif.h"

namespace tdx {

namespace {
constexpr int HEADING_HEIGHT = 17;
constexpr int BAR_HEIGHT = 8;
constexpr int BAR_GAP = 18;
constexpr int STATUS_GAP = 4;
} // namespace

const std::vector<uint32_t>& handedIds(const State& state) {
    static const std::vector<uint32_t> none;
    if (const auto* typed = dynamic_cast<const SingleParamState<std::vector<uint32_t>>*>(&state)) {
        return typed->getParam();
    }
    dbg_printf_h("state %u came without its id list: taken as empty", state.getStateId());
    return none;
}

RequestProcessForm::RequestProcessForm(const State& state, const char* name, const Texts& texts,
                                       vid_t watched)
    : VexalWizardForm(state, false)
    , mTexts(texts)
    , mWatched(watched) {
    setName(name);
    StackedContainer* content = getContent();
    const int width = content->getWidth();
    new ContainedLabel(content, 0, 0, width, HEADING_HEIGHT, &bif_myriad14, gettext(texts.heading));
    mPleaseWait = new TextFrame(content, 0, 0, width, 0, &bif_myriad12, gettext("Please wait"));
    mProgress = new ProgressBar(content, 0, BAR_GAP, width, BAR_HEIGHT);
    mProgress->setProgress(ProgressBar::INDETERMINATE);
    // Word-wrapped on every screen: the longer results of some languages do not fit one line.
    mStatus = new TextFrame(content, 0, STATUS_GAP, width, 0, &bif_myriad12, gettext(texts.waiting));
    setNavigationEnabled(false);
    setNextEnabled(false);
    mNextButton->setText(gettext("Finish"));
    setAwakeOverride(true);
    content->fitToContent();
}

RequestProcessForm::~RequestProcessForm() {
    Structure.removeValueChangeHandler(this);
}

void RequestProcessForm::initialize() {
    Structure.addValueChangeHandler(this);
    if (Structure.find(OID_LOCATION) == nullptr) {
        // The location is a root object of every tree; without it there is nobody to ask.
        dbg_printf_h("%s: no location object to write the request to", getName().c_str());
        mPhase = Phase::Finished;
        show(mTexts.failure, true);
        return;
    }
    update();
}

void RequestProcessForm::update() {
    switch (mPhase) {
        case Phase::Request:
            if (!request()) {
                mPhase = Phase::Finished;
                show(mTexts.failure, true);
                return;
            }
            mPhase = Phase::Waiting;
            mTimeout.start();
            return;
        case Phase::Waiting: {
            const Answer result = answer();
            if (result == Answer::Pending) {
                return;
            }
            mPhase = Phase::Finished;
            mTimeout.cancel();
            show(result == Answer::Success ? mTexts.success : mTexts.failure, result == Answer::Failure);
            return;
        }
        case Phase::Finished:
            return;
    }
}

void RequestProcessForm::show(const char* text, bool failed) {
    // The wait is over: the result stands alone.
    mPleaseWait->setVisible(false);
    mStatus->setText(gettext(text));
    mProgress->setProgress(100);
    // A success after the time-out's colour is a success again.
    mProgress->setProgressColor(failed ? installer::FAILURE_COLOUR : colour::TITLE);
    setNextEnabled(true);
    getContent()->fitToContent();
}

void RequestProcessForm::handleEvent(Event* event) {
    if (event->kind == EVENT_NETWORK_NOT_CONNECTED) {
        event->kind = EVENT_NONE;
        dbg_printf_h("%s: the network is lost; the result stays until Finish", getName().c_str());
        return;
    }
    VexalWizardForm::handleEvent(event);
}

void RequestProcessForm::handleProxyValueChange(ProxyObject& /*object*/, const OviEx& change) {
    if (change.oid == OID_LOCATION && change.vid == mWatched) {
        update();
    }
}

void RequestProcessForm::handleMessage(Message* message) {
    // The base and the children may consume the message; what it was is decided on a copy.
    const Message m = *message;
    VexalWizardForm::handleMessage(message);
    if (m.isClick(mNextButton)) {
        finish();
    } else if (m.id == MSG_TIMER && mTimeout.isTimedOut()) {
        // The phase stays: an answer that comes later still tells the result.
        show(answeredOtherwise() ? mTexts.failure : mTexts.timeout, true);
    }
}

} // namespace tdx
