#include "print/report_output.h"

#include "print/report.h"

#include "core/atomic_file.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace ph::print {
namespace {

// The printer takes the report's sheet with no margins of its own: every place is measured
// from the sheet's corner, as on the PDF.
void setUp(QPrinter& printer, const Report& report) {
    printer.setFullPage(true);
    printer.setPageLayout(report.pageLayout());
}

OutputResult paintOn(QPrinter& printer, const Report& report) {
    QPainter painter;
    if (!painter.begin(&printer)) return OutputResult::failed(texts::kPrinterFailed);
    const bool painted = report.paintAll(painter, printer);
    painter.end();
    if (!painted || printer.printerState() == QPrinter::Error) return OutputResult::failed(texts::kPrinterFailed);
    return {};
}

} // namespace

OutputResult writePdf(const Report& report, const QString& path) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    try {
        AtomicFile file(path);
        file.open();
        {
            // The writer streams into the temporary file; a write the disk refuses is seen
            // by the commit.
            QPdfWriter writer(&file.device());
            writer.setResolution(1200);
            writer.setCreator(QStringLiteral("pharmacy"));
            writer.setPageLayout(report.pageLayout());
            QPainter painter;
            if (!painter.begin(&writer)) return OutputResult::failed(texts::kPdfNotWritten + shown);
            const bool painted = report.paintAll(painter, writer);
            if (!painter.end() || !painted) return OutputResult::failed(texts::kPdfNotWritten + shown);
        }
        file.commit();
    } catch (const FileWriteError& error) {
        return OutputResult::failed(texts::kPdfNotWritten + shown + QStringLiteral("؛ ") + error.reason());
    }
    return {};
}

bool printerAvailable() {
    return !QPrinterInfo::defaultPrinter().isNull() || !QPrinterInfo::availablePrinters().isEmpty();
}

OutputResult printDirect(const Report& report) {
    if (!printerAvailable()) return OutputResult::failed(texts::kNoPrinter);
    QPrinter printer(QPrinter::HighResolution);
    if (!printer.isValid()) return OutputResult::failed(texts::kNoPrinter);
    setUp(printer, report);
    return paintOn(printer, report);
}

OutputResult printWithDialog(const Report& report, QWidget* parent) {
    if (QPrinterInfo::availablePrinters().isEmpty()) return OutputResult::failed(texts::kNoPrinter);
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, report);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted) return {OutputResult::Status::Cancelled, {}};
    setUp(printer, report); // the dialog may have chosen another sheet; the report keeps its own
    return paintOn(printer, report);
}

OutputResult preview(const Report& report, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, report);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("پيش نمايش چاپ"));
    OutputResult result;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        setUp(*target, report);
        const OutputResult painted = paintOn(*target, report);
        if (!painted.done()) result = painted;
    });
    dialog.exec();
    return result;
}

} // namespace ph::print
