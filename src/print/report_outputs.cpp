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

void saveSheet(QWidget* parent, const ReportOutputs& outputs, Prompter& prompter, const print::XlsxSheet& sheet) {
    QString path = outputs.chooseFile(parent, QStringLiteral("ذخيره اكسل"), QStringLiteral("Excel (*.xlsx)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) path += QStringLiteral(".xlsx");
    const print::OutputResult result = print::writeXlsx({sheet}, path);
    if (!result.done()) prompter.warning(result.message);
}

} // namespace ph
