#include "print/report_outputs.h"

#include "core/prompter.h"
#include "print/report_output.h"
#include "print/xlsx_table.h"

#include <QFileDialog>

namespace ph {

ReportOutputs ReportOutputs::dialogs(Prompter& prompter) {
    ReportOutputs outputs;
    outputs.chooseFile = [](QWidget* parent, const QString& caption, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
    };
    outputs.show = [&prompter](QWidget* parent, const print::Report& report) {
        const print::OutputResult result = print::preview(report, parent);
        if (!result.done() && !result.message.isEmpty()) prompter.warning(result.message);
    };
    return outputs;
}

namespace {

void saveChosenFile(QWidget* parent, const ReportOutputs& outputs, Prompter& prompter, const QString& caption,
                    const QString& filter, const QString& extension,
                    const std::function<print::OutputResult(const QString& path)>& write) {
    QString path = outputs.chooseFile(parent, caption, filter);
    if (path.isEmpty()) return;
    if (!path.endsWith(u'.' + extension, Qt::CaseInsensitive)) path += u'.' + extension;
    const print::OutputResult result = write(path);
    if (!result.done()) prompter.warning(result.message);
}

} // namespace

void saveSheet(QWidget* parent, const ReportOutputs& outputs, Prompter& prompter, const print::XlsxSheet& sheet) {
    saveChosenFile(parent, outputs, prompter, QStringLiteral("ذخيره اكسل"), QStringLiteral("Excel (*.xlsx)"),
                   QStringLiteral("xlsx"), [&](const QString& path) { return print::writeXlsx({sheet}, path); });
}

void savePdf(QWidget* parent, const ReportOutputs& outputs, Prompter& prompter, const QString& caption,
             const print::Report& report) {
    saveChosenFile(parent, outputs, prompter, caption, QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"),
                   [&](const QString& path) { return print::writePdf(report, path); });
}

} // namespace ph
