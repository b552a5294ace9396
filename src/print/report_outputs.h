#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ph {

class Prompter;

namespace print {
class Report;
struct XlsxSheet;
}

// What a report window asks the user for (the file to write) and shows (the print preview);
// tests answer in place of the dialogs.
struct ReportOutputs {
    std::function<QString(QWidget* parent, const QString& caption, const QString& filter)> chooseFile;
    std::function<void(QWidget* parent, const print::Report&)> show;
    // Qt's file dialog and the print preview; a failed preview is reported through the prompter.
    static ReportOutputs dialogs(Prompter& prompter);
};

// Writes a sheet as .xlsx, or a report as .pdf, where the user chooses (the extension added
// when the name lacks it; nothing when the choice is cancelled); a failure is shown through
// the prompter.
void saveSheet(QWidget* parent, const ReportOutputs& outputs, Prompter& prompter, const print::XlsxSheet& sheet);
void savePdf(QWidget* parent, const ReportOutputs& outputs, Prompter& prompter, const QString& caption,
             const print::Report& report);

} // namespace ph
