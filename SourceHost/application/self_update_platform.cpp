// The desktop cannot replace its own program: a started update fails at once, so that the wizard ends on its
// summary with the reason.
#include "SourceHost/application/self_update_platform.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"

namespace tdx {

void SelfUpdatePlatform::onStart(uint32_t index, const self_update_image& image) {
    mIndex = index;
    mStarted = true;
    dbg_printf_h("SELFUPDATE firmware %u from %s: not written on this platform", index, image.fileName);
}

void SelfUpdatePlatform::execute() {
    if (mStarted && !mReported) {
        mReported = true;
        mListener.onFault(N_("Updating the display software is not supported on this platform."));
    }
}

void SelfUpdatePlatform::onFinish() {}

} // namespace tdx
