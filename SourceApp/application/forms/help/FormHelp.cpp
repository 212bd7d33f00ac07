#include "SourceApp/application/forms/help/FormHelp.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "Libraries/misc/text.h"
#include "SourceApp/application/App.h"
#include "SourceApp/application/controls/Icon.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/TextFrame.h"
#include "SourceApp/application/controls/widgets.h"
#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/core/layout/StackedContainer.h"
#include "SourceApp/gui/core/layout/StyleContainer.h"
#include "SourceApp/gui/gfx/gfx.h"
#include "SourceApp/gui/i18n/MoFile.h"
#include "SourceApp/gui/i18n/help_parse.h"

namespace tdx {

namespace {

constexpr int FRAME_BORDER = 2;
constexpr int SPACING = 8;
constexpr int SECTION_INDENT = 9;
constexpr int BANNER_HEIGHT = 24;
constexpr int TITLE_HEIGHT = 20;
constexpr int MESSAGE_HEIGHT = 26;
// The banner shows at most this many bytes of its text.
constexpr size_t BANNER_BYTES = 40;

// At most max bytes of the text, never ending inside a UTF-8 sequence.
std::string cutUtf8(const std::string& text, size_t max) {
    if (text.size() <= max) {
        return text;
    }
    size_t end = max;
    // Back to the first byte of the sequence the cut would split.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

} // namespace

// ---- HelpSection ----

FormHelp::HelpSection::HelpSection(Container* parent, int left, int top, int width, const std::string& title,
                                   resource_id picture, const std::string& body)
    : Container(parent, left, top, width, 0) {
    setName("HelpSection");
    setSizing(SIZING_KEEP, SIZING_FIT);
    // The children are placed in screen pixels from where the page put the section.
    const int x = getLeft();
    auto* heading = new ContainedLabel(this, x, getTop(), width, TITLE_HEIGHT, &bif_myriad12_bold, title);
    const int below = heading->getBottom() + 1;
    if (const unsigned char* image = picture != res_none ? widget_image(picture) : nullptr) {
        new Icon(this, x + 2 * (width / 3) + width / 6 - gfx_image_width(image) / 2, below, image,
                 colour::TEXT);
    }
    if (!body.empty()) {
        new TextFrame(this, x, below, width * 2 / 3, 0, &bif_myriad12, body);
    }
    fitToContent();
}

FormHelp::HelpSection::~HelpSection() = default;

// ---- FormHelp ----

FormHelp::FormHelp(const State& state)
    : VexalStackedContentForm(state) {
    setName("FormHelp");
    StackedContainer* content = getContent();
    content->setSpacing(SPACING);
    const int width = content->getWidth();
    mFrame = StyleContainer::Builder{.parent = content,
                                     .width = width,
                                     .borderColor = static_cast<int>(colour::CONTROL),
                                     .borderWidth = FRAME_BORDER}
                 .build();
    mFrame->setSizing(SIZING_KEEP, SIZING_FIT);
    mPage = StackedContainer::Builder{.parent = mFrame,
                                      .width = width - 2 * FRAME_BORDER,
                                      .fitHeight = true,
                                      .direction = DIRECTION_VERTICAL,
                                      .spacing = SPACING}
                .build();

    // Only the help button makes this state, with its topic; anything else (a stray change of state, a
    // history entry that lost its type) has no page to show.
    if (const auto* topic = dynamic_cast<const SingleParamState<std::string>*>(&state)) {
        showTopic(topic->getParam());
    } else {
        dbg_printf_h("HELP state %u carries no topic", state.getStateId());
        addNotAvailable();
    }

    new HLine(mPage, 0, 0, 1, colour::WHITE);
    mPage->fitToContent();
    mFrame->fitToContent();
    content->fitToContent();
}

FormHelp::~FormHelp() = default;

void FormHelp::showTopic(const std::string& topic) {
    const resource_id id = getHelpResource();
    if (id == res_none) {
        addMessage(gettext("Help is not available for this language."));
        return;
    }
    ResourceMgr& resources = *getApplication()->getResourceManager();
    const Resource resource = resources.get(id);
    MoFile catalogue;
    if (!resource.isValid() || resource.getType() != rtTRANSLATION ||
        catalogue.loadFromMemory(resource.getData(), resource.getSize()) != 0) {
        dbg_printf_h("HELP resource %u is no help catalogue", static_cast<unsigned>(id));
        addMessage(gettext("Help file parse error!"));
        resources.free(id);
        return;
    }
    parse_node* first = nullptr;
    if (help_parse(catalogue.gettext(topic.c_str()), &first) != 0) {
        addMessage(gettext("Help file parse error!"));
    } else {
        processParsedHelp(first);
        if (first->next == nullptr) {
            addNotAvailable();
        }
        help_free_parse_node(first);
    }
    resources.free(id);
}

void FormHelp::processParsedHelp(parse_node* node) {
    const int width = mPage->getWidth();
    while (node != nullptr) {
        if (node->kind == PARSE_NODE_TEXT) {
            auto* banner = StyleContainer::Builder{.parent = mPage,
                                                   .width = width,
                                                   .height = BANNER_HEIGHT,
                                                   .backColor = static_cast<int>(colour::CONTROL)}
                               .build();
            const std::string text =
                std::string(gettext("User Guides: ")) + " " + cutUtf8(trim(node->text), BANNER_BYTES);
            new ContainedLabel(banner, 0, 0, width, BANNER_HEIGHT, &bif_myriad14, text,
                               HorizontalAlign::Center, VerticalAlign::Middle);
            node = node->next;
        } else if (node->kind == PARSE_NODE_SECTION) {
            parse_node* last = node;
            std::string body;
            if (node->next != nullptr && node->next->kind == PARSE_NODE_TEXT) {
                last = node->next;
                body = trim(last->text);
            }
            new HelpSection(mPage, SECTION_INDENT, 0, width - 2 * SECTION_INDENT, node->text,
                            ResourceMgr::getIdByName(node->target.c_str()), body);
            if (last->next != nullptr && last->next->kind == PARSE_NODE_SECTION) {
                new HLine(mPage, 0, 0, width, colour::CONTROL);
            }
            node = last->next;
        } else {
            node = node->next;
        }
    }
}

void FormHelp::addMessage(const char* text) {
    // From the page's left edge like the banner, not indented like the sections: the letters' own bearing
    // leaves a white pixel between the text and the frame.
    new ContainedLabel(mPage, 0, 0, mPage->getWidth(), MESSAGE_HEIGHT, &bif_myriad12, text);
}

void FormHelp::addNotAvailable() {
    new TextFrame(mPage, SECTION_INDENT, 0, mPage->getWidth() - 2 * SECTION_INDENT, 0, &bif_myriad12,
                  gettext("Help is not available for this page."));
}

} // namespace tdx
