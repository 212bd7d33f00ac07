#include "SourceHost/desktop/ToolkitLanguage.h"

#include "Libraries/base/dbg.h"
#include "SourceApp/gui/i18n/I18n.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <iterator>

namespace tdx {

namespace {

// The toolkit's name of each language of the application, by row of I18n::LANGUAGES; English is the
// toolkit's own.
constexpr const char* CODES[] = {"en", "da", "cs", "nl"};
static_assert(std::size(CODES) == std::size(I18n::LANGUAGES));

} // namespace

ToolkitLanguage::ToolkitLanguage(QString folder)
    : mFolder(std::move(folder)) {}

ToolkitLanguage::~ToolkitLanguage() = default; // a translator takes itself out of the toolkit as it goes

QString ToolkitLanguage::systemFolder() {
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

void ToolkitLanguage::follow(uint8_t language) {
    if (mFollowed == language) {
        return;
    }
    mFollowed = language;
    mTranslator.reset();
    if (language == 0 || language >= std::size(CODES)) {
        return;
    }
    const QString file = QStringLiteral("qtbase_") + QString::fromLatin1(CODES[language]);
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file, mFolder)) {
        dbg_printf_h("toolkit: no translation %s in %s: its dialogs stay in English",
                     file.toUtf8().constData(), mFolder.toUtf8().constData());
        return;
    }
    QCoreApplication::installTranslator(translator.get());
    mTranslator = std::move(translator);
}

} // namespace tdx
