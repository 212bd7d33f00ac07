// The toolkit's own texts (the file dialog's labels and buttons, the standard buttons of the message boxes)
// in the language the application shows, where the system holds the toolkit's translations for it: a Danish
// program would otherwise offer its screenshot in an English "Save As". Where the system has none, or a
// file it cannot read, the toolkit keeps its English, as it always did.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QTranslator;

namespace tdx {

class ToolkitLanguage {
public:
    // `folder` holds the toolkit's translation files (qtbase_<language>.qm); by default the system's.
    explicit ToolkitLanguage(QString folder = systemFolder());
    ~ToolkitLanguage();
    ToolkitLanguage(const ToolkitLanguage&) = delete;
    ToolkitLanguage& operator=(const ToolkitLanguage&) = delete;

    // Follows the application's language, a row of I18n::LANGUAGES (the window's thread; the toolkit tells
    // its open widgets). The language followed already changes nothing.
    void follow(uint8_t language);

    static QString systemFolder();

private:
    QString mFolder;
    std::optional<uint8_t> mFollowed;
    std::unique_ptr<QTranslator> mTranslator;
};

} // namespace tdx
