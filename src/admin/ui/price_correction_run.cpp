#include "admin/ui/price_correction_run.h"

#include "admin/price_correction.h"
#include "admin/price_workbook.h"
#include "core/error.h"
#include "core/prompter.h"
#include "widgets/guarded.h"
#include "widgets/window_tools.h"

#include <QApplication>
#include <QProgressDialog>

namespace ph {

void runPriceCorrection(const QString& workbookPath, Database& db, Prompter& prompter, QWidget* parent,
                        const AuditOrigin& origin) {
    QList<PriceSheetRow> rows;
    // A file that cannot be used changes nothing, and the report says so.
    const bool read = guarded(prompter, [&] {
        try {
            rows = readPriceWorkbook(workbookPath);
        } catch (const Error& error) {
            throw Error(error.message() + QStringLiteral("\nهيچ قيمتي تغيير نكرد."));
        }
    });
    if (!read) return;
    QProgressDialog progress(QStringLiteral("اصلاح قيمت ها ..."), QStringLiteral("انصراف"), 0, int(rows.size()), parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const PriceCorrectionReport report = PriceCorrection(db, origin).run(rows, [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        QApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    prompter.information(priceCorrectionMessage(report));
}

void choosePriceWorkbookAndCorrect(const QString& workingDir, Database& db, Prompter& prompter, QWidget* parent,
                                   const AuditOrigin& origin) {
    const QString path = chooseFileToOpen(parent, QStringLiteral("فايل قيمت ها"), defaultPriceWorkbookPath(workingDir),
                                          QStringLiteral("Excel / CSV (*.xls *.xlsx *.csv);;* (*)"));
    if (!path.isEmpty())
        runPriceCorrection(path, db, prompter, parent, origin);
}

} // namespace ph
