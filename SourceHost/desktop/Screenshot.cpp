#include "SourceHost/desktop/Screenshot.h"

#include "Libraries/base/i18n.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>

#include <new>

namespace tdx {

ScreenshotReporter screenshot_warning_box(QWidget* parent) {
    return [parent](const std::string& text) {
        QMessageBox::warning(parent, QString::fromUtf8(gettext("Error")), QString::fromStdString(text));
    };
}

SaveScreenshotDialog::Chooser SaveScreenshotDialog::fileDialog(QWidget* parent) {
    return [parent](const std::string& proposed) -> std::string {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("*.bmp"));
        dialog.setDefaultSuffix(QStringLiteral("bmp"));
        dialog.selectFile(QString::fromStdString(proposed));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return {};
        }
        return dialog.selectedFiles().front().toStdString();
    };
}

SaveScreenshotDialog::SaveScreenshotDialog(std::shared_ptr<Canvas> canvas, Chooser chooser,
                                           ScreenshotReporter report)
    : mCanvas(std::move(canvas))
    , mChooser(std::move(chooser))
    , mReport(std::move(report)) {}

void SaveScreenshotDialog::execute(MessageArgument*) {
    const std::string path = mChooser(mPath);
    if (path.empty()) {
        return;
    }
    mPath = path;
    std::string error;
    if (!mCanvas->SaveToFile(path, &error)) {
        mReport(std::string(gettext("The screenshot could not be saved.")) + "\n" + path + ": " + error);
    }
}

ScreenshotToClipboard::ScreenshotToClipboard(std::shared_ptr<Canvas> canvas, ScreenshotReporter report)
    : mCanvas(std::move(canvas))
    , mReport(std::move(report)) {}

void ScreenshotToClipboard::execute(MessageArgument*) {
    try {
        std::vector<uint32_t> pixels = mCanvas->Snapshot();
        const int width = mCanvas->DisplayWidth();
        const int height = mCanvas->DisplayHeight();
        const std::vector<uint8_t> bmp = bmp_file(pixels.data(), width, height);
        for (uint32_t& pixel : pixels) {
            pixel |= 0xFF000000u; // the fourth byte is not alpha: opaque
        }
        QImage image(reinterpret_cast<const uchar*>(pixels.data()), width, height, width * 4,
                     QImage::Format_RGB32);
        auto* data = new QMimeData;
        data->setData(QStringLiteral("image/bmp"), QByteArray(reinterpret_cast<const char*>(bmp.data()),
                                                              static_cast<qsizetype>(bmp.size())));
        data->setImageData(image.copy());
        QGuiApplication::clipboard()->setMimeData(data);
    } catch (const std::bad_alloc&) {
        mReport(gettext("The screenshot could not be copied to the clipboard."));
    }
}

} // namespace tdx
