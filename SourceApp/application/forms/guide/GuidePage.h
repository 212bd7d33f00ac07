// What every page of the first-start guide shares: its name and help, the spacing of its rows, a screen that
// stays bright while the page is shown, and the page's heading; and the guide's end.
#pragma once

namespace tdx {

class VexalWizardForm;

namespace guide {

void startPage(VexalWizardForm& page, const char* name, const char* helpTopic, const char* heading);
// The guide is done: it does not come back at the next start, and home follows with an empty history.
void finish();

} // namespace guide
} // namespace tdx
