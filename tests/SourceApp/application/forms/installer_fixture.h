// The installer's wizards on the screen harness: states that carry id lists, the location's request values as
// the control unit sees them published, and the colours of a request's result.
#pragma once

#include "Libraries/base/bytes.h"
#include "SourceApp/application/controls/Button.h"
#include "SourceApp/application/controls/DropdownButton.h"
#include "SourceApp/application/controls/ProgressBar.h"
#include "SourceApp/application/forms/VexalWizardForm.h"
#include "SourceApp/application/forms/installer/InstallerValues.h"
#include "tests/SourceApp/application/forms/forms_fixture.h"

#include <vector>

namespace tdx::test {

using Ids = std::vector<uint32_t>;

class InstallerTest : public FormsTest {
protected:
    static constexpr uint32_t CU = 0x000316; // the control unit's device object
    static constexpr unsigned FAILURE = installer::FAILURE_COLOUR;

    // Opens a state that hands on a list of ids, as the wizards do.
    Form* openWith(unsigned id, const Ids& ids, unsigned p1 = 0) {
        mCore.changeState(SingleParamState<Ids>(id, p1, 0, 0, 0, ids));
        runTasks(2);
        return screen();
    }
    const Ids& handed() const { return dynamic_cast<const SingleParamState<Ids>&>(state()).getParam(); }
    // An id list as its value's bytes.
    static std::string bytesOf(const Ids& ids) {
        std::string bytes(ids.size() * 4, '\0');
        for (size_t i = 0; i < ids.size(); ++i) {
            put_le32(reinterpret_cast<uint8_t*>(bytes.data()) + 4 * i, ids[i]);
        }
        return bytes;
    }
    static PublishedValue list(vid_t vid, const Ids& ids) { return {OID_LOCATION, vid, bytesOf(ids)}; }
    static PublishedValue withdrawn(vid_t vid) {
        PublishedValue v(OID_LOCATION, vid, std::string());
        v.valid = false;
        return v;
    }
    // Scrolls the screen's content until the component shows, then taps it.
    void reveal(Component* c) {
        ASSERT_NE(c, nullptr);
        static_cast<VexalForm*>(screen())->scrollTo(c, FOCUS_AS_NEEDED, c->getTop(), c->getBottom());
        runTasks(2);
        tap(c);
    }
    struct LinkRow {
        const char* link;
        unsigned state;
    };
    // Each link of the menu, shown and tapped, opens its state.
    void expectLinksLead(unsigned menu, std::initializer_list<LinkRow> rows) {
        for (const LinkRow& row : rows) {
            open(menu);
            reveal(findByText(row.link));
            EXPECT_EQ(state().getStateId(), row.state) << row.link;
        }
    }
    Button* next() const {
        return find<Button>([](const Button& b) { return b.getWidth() == 80; });
    }
    bool nextEnabled() const { return next()->isEnabled(); }
    void tapNext() {
        tap(next());
        runTasks(2);
    }
    // Unfolds every section of the screen.
    void openSections() {
        for (DropdownButton* section : findAll<DropdownButton>()) {
            tap(section);
        }
    }
    // What the published learn list holds last, or nothing when it was withdrawn.
    std::optional<std::string> lastLearnList() {
        std::optional<std::string> last;
        for (const PublishedValue& v : published()) {
            if (v.oid == OID_LOCATION && v.vid == installer::VID_LEARN_LIST) {
                last = v.valid ? std::optional<std::string>(v.text) : std::nullopt;
            }
        }
        return last;
    }
    size_t learnListWrites() {
        size_t n = 0;
        for (const PublishedValue& v : published()) {
            n += v.oid == OID_LOCATION && v.vid == installer::VID_LEARN_LIST;
        }
        return n;
    }
    static std::vector<uint32_t> range(uint32_t first, size_t count) {
        std::vector<uint32_t> ids;
        for (size_t i = 0; i < count; ++i) {
            ids.push_back(first + static_cast<uint32_t>(i));
        }
        return ids;
    }
};

} // namespace tdx::test
