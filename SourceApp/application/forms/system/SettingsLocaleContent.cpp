#include "SourceApp/application/forms/system/SettingsLocaleContent.h"

#include "Libraries/base/dbg.h"
#include "Libraries/base/i18n.h"
#include "SourceApp/application/controls/EditableDropdownRow.h"
#include "SourceApp/gui/i18n/I18n.h"
#include "SourceApp/system/config.h"
#include "SourceApp/system/settings/SystemSettingsCommands.h"

#include <iterator>

namespace tdx {

namespace {
constexpr unsigned LABEL_WIDTH = 81;
} // namespace

SettingsLocaleContent::SettingsLocaleContent(Container* parent, int x, int y)
    : StackedContainer(parent, x, y, parent->getWidth(), 0) {
    setName("SettingsLocaleContent");
    setDirection(DIRECTION_VERTICAL);
    setSpacing(9);
    addLanguageRow(this);

    auto* country = new EditableDropdownRow(this, 0, 0, getWidth(), gettext("Country"), LABEL_WIDTH);
    for (const I18n::Country& row : I18n::COUNTRIES) {
        country->addItem(new DropdownItemImpl(gettext(row.text), 0), row.code == Configuration.country);
    }
    country->setOnItemClickCommand(std::make_unique<ChangeCountryCommand>());
    fitToContent();
}

SettingsLocaleContent::~SettingsLocaleContent() = default;

EditableDropdownRow* SettingsLocaleContent::addLanguageRow(Container* parent) {
    auto* language =
        new EditableDropdownRow(parent, 0, 0, parent->getWidth(), gettext("Language"), LABEL_WIDTH);
    const uint32_t inUse = i18n.getTranslationId();
    for (const I18n::Language& row : I18n::LANGUAGES) {
        // Each language by its own name, whatever the language in use.
        language->addItem(new DropdownItemImpl(row.name, 0), row.translationId == inUse);
    }
    language->setOnItemClickCommand(std::make_unique<ChangeSystemLanguageCommand>());
    return language;
}

void SettingsLocaleContent::ChangeCountryCommand::execute(DropdownItem* item) {
    if (item == nullptr || item->getIndex() >= std::size(I18n::COUNTRIES)) {
        dbg_printf_h("country: item %d has no country", item != nullptr ? int{item->getIndex()} : -1);
        return;
    }
    Configuration.country = I18n::COUNTRIES[item->getIndex()].code;
    config_apply();
}

} // namespace tdx
