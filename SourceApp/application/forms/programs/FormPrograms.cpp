#include "SourceApp/application/forms/programs/FormPrograms.h"

#include "Libraries/base/i18n.h"
#include "SourceApp/application/commands/ChangeStateCommand.h"
#include "SourceApp/application/controls/Label.h"
#include "SourceApp/application/controls/NavigationLink.h"
#include "SourceApp/gui/gfx/gfx.h"

namespace tdx {

FormPrograms::FormPrograms(const State& state)
    : VexalHomeForm(state) {
    setName("FormPrograms");
    selectTab(mProgramsButton);
    StackedContainer* content = getContent();
    new ContainedLabel(content, 0, 0, content->getWidth(), 12, &bif_myriad12, gettext("Programs"),
                       HorizontalAlign::Center);
    const struct {
        const char* text;
        resource_id icon;
        unsigned state;
    } links[] = {
        {N_("Winter & Summer mode"), res_hc_mode, LOCATION_STATE_ID},
        {N_("Standby mode"), res_standby, STANDBY_STATE_ID},
        {N_("Vacation mode"), res_holiday, VACATION_STATE_ID},
    };
    NavigationLink::Builder builder{
        .parent = content, .width = 208, .height = 38, .buttonIcon = {res_arrow_right_double, 0, 0}};
    for (const auto& link : links) {
        builder.text = gettext(link.text);
        builder.icon = {link.icon, 0, 0};
        // A long translation is shown whole in the smaller font rather than cut short.
        const unsigned char* image = widget_image(link.icon);
        const int room = builder.width - 1 - NavigationLink::BUTTON_WIDTH - 5 -
                         2 * NavigationLink::TEXT_INSET - (image != nullptr ? gfx_image_width(image) : 0);
        builder.font =
            bif_text_width(bif_myriad12.getFont(), builder.text) <= room ? &bif_myriad12 : &bif_myriad10;
        builder.build()->setPressCommand(std::make_unique<ChangeStateCommand>(link.state));
    }
    content->fitToContent();
}

FormPrograms::~FormPrograms() = default;

} // namespace tdx
