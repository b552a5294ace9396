#include "print/report_outputs.h"

#include "core/prompter.h"
#include "print/report_output.h"

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

} // namespace ph
