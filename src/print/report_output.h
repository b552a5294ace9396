#pragma once

#include <QString>

class QWidget;

namespace ph::print {

class Report;

// How an output ended. A failure carries the Persian message to show; the report's data is
// never touched by printing.
struct OutputResult {
    enum class Status { Done, Cancelled, Failed };
    Status status = Status::Done;
    QString message;

    bool done() const { return status == Status::Done; }
    static OutputResult failed(const QString& message) { return {Status::Failed, message}; }
};

// Writes the report to a PDF file, page for page as the preview shows it.
OutputResult writePdf(const Report& report, const QString& path);
// Whether the system knows a printer to print on without asking.
bool printerAvailable();
// Sends the report to the default printer without asking.
OutputResult printDirect(const Report& report);
// Asks for the printer and the copies in the print dialog, then prints.
OutputResult printWithDialog(const Report& report, QWidget* parent);
// Shows the report in a print preview, from which the user prints.
OutputResult preview(const Report& report, QWidget* parent);

namespace texts {
inline const QString kNoPrinter = QStringLiteral("چاپگري براي چاپ پيدا نشد");
inline const QString kPrinterFailed = QStringLiteral("چاپ انجام نشد؛ چاپگر در دسترس نيست يا خطا داد");
inline const QString kPdfNotWritten = QStringLiteral("فايل PDF ساخته نشد: ");
} // namespace texts

} // namespace ph::print
