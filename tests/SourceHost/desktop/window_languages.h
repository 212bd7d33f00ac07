// A host window shown in each of the program's four languages, with the catalogues of the resources file the
// build makes, as the program loads them; its picture in each goes to the screenshots for a person to look
// at.
#pragma once

#include "SourceApp/application/resources/resource_mgr.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <span>

namespace tdx::test {

// Shows `widget`, then for each language (English, Danish, Czech, Dutch) switches to it, runs `check` with
// the language's name and saves the picture as <screenshots>/<picture>_<language>.png. Ends in English, the
// widget hidden and the catalogues unhooked.
inline void inEveryLanguage(const char* resourcesFile, const char* screenshots, QWidget* widget,
                            const QString& picture, const std::function<void(const char* language)>& check) {
    static ResourceMgr resources;
    static const int loaded = resources.load(resourcesFile);
    ASSERT_EQ(loaded, 0) << resourcesFile;
    i18n.setResourceReader([](uint16_t id) -> std::span<const uint8_t> {
        const Resource resource = resources.get(static_cast<resource_id>(id));
        return {resource.getData(), resource.getSize()};
    });
    widget->show();
    const char* const names[] = {"English", "Danish", "Czech", "Dutch"};
    for (uint8_t language = 0; language < 4; ++language) {
        SCOPED_TRACE(names[language]);
        i18n.switchLanguage(language);
        EXPECT_EQ(i18n.getLanguage(), language);
        check(names[language]);
        std::filesystem::create_directories(screenshots);
        widget->grab().save(QString::fromUtf8(screenshots) + "/" + picture + "_" +
                            QString::fromLatin1(names[language]) + ".png");
    }
    i18n.switchLanguage(0);
    i18n.setResourceReader(nullptr);
    widget->hide();
}

} // namespace tdx::test
