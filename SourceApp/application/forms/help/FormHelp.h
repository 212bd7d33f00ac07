// The help page of one topic, built once from the help catalogue of the current language: a banner from the
// text before the first section, then one section (title, optional picture, text) per marker, grey lines
// between them. What cannot be shown (no topic, no catalogue, a text that does not parse) is said in words.
#pragma once

#include "SourceApp/application/forms/VexalStackedContentForm.h"
#include "SourceApp/application/resources/resource_names.h"

#include <string>

namespace tdx {

class StackedContainer;
class StyleContainer;
struct parse_node;

class FormHelp : public VexalStackedContentForm {
public:
    // One section of a help text: the title, the picture in the middle of the right third, the text in the
    // left two thirds.
    class HelpSection : public Container {
    public:
        HelpSection(Container* parent, int left, int top, int width, const std::string& title,
                    resource_id picture, const std::string& body);
        ~HelpSection() override;
    };

    explicit FormHelp(const State& state);
    ~FormHelp() override;

private:
    // The page as the catalogue's help text for the topic makes it.
    void showTopic(const std::string& topic);
    void processParsedHelp(parse_node* node);
    void addMessage(const char* text);
    void addNotAvailable();

    StyleContainer* mFrame = nullptr;
    StackedContainer* mPage = nullptr;
};

} // namespace tdx
