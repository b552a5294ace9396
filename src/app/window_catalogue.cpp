#include "app/window_catalogue.h"

#include "admin/ui/backup_windows.h"
#include "admin/ui/change_pass.h"
#include "admin/ui/price_correction_run.h"
#include "admin/ui/tanzimat.h"
#include "admin/ui/user_new.h"
#include "app/main_window.h"
#include "app/navigation.h"
#include "app/window_registry.h"
#include "app/password.h"
#include "catalogue/ui/darou.h"
#include "catalogue/ui/type_.h"
#include "dispensing/ui/froosh_darou.h"
#include "insurance/ui/doctor.h"
#include "insurance/ui/fmbimeh.h"
#include "insurance/ui/fmbimeh_daru.h"
#include "insurance/ui/fmtarefeh.h"
#include "insurance/ui/tanzimat_bime.h"
#include "reports/ui/sales_report_window.h"
#include "reports/ui/stock_windows.h"
#include "widgets/window_context.h"

namespace ph {

void registerWindows(WindowRegistry& registry, const WindowContext& windows, const QString& workingDir,
                     Tf_main& main) {
    main.addCommand(QString::fromLatin1(command::kPriceCorrection), [windows, workingDir, &main] {
        choosePriceWorkbookAndCorrect(workingDir, windows.db, windows.prompter, &main);
    });
    main.addCommand(QString::fromLatin1(command::kStructureRepair),
                    [windows, &main] { runStructureRepair(windows, &main); });
    registry.add(QStringLiteral("Tf_disk_bimeh"),
                 [windows, workingDir](QWidget* parent) { return new Tf_disk_bimeh(windows, workingDir, parent); });
    registry.add(QStringLiteral("Trestore"), [windows](QWidget* parent) { return new Trestore(windows, parent); });
    // Windows that change users or passwords close the main window when left, so the
    // next work starts with a fresh sign-in.
    constexpr bool kClosesMain = true;
    registry.add(QStringLiteral("Tf_darou"), [windows](QWidget* parent) {
        auto* window = new Tf_darou(windows, parent);
        window->setLockAction([windows, window] {
            TF_password lock(windows.context, windows.db, windows.prompter, window);
            lock.exec();
        });
        return window;
    });
    registry.add(QStringLiteral("TF_type"), [windows](QWidget* parent) { return new TF_type(windows, parent); });
    registry.add(QStringLiteral("Tfmbimeh"), [windows](QWidget* parent) { return new Tfmbimeh(windows, parent); });
    registry.add(QStringLiteral("Tfmtarefeh"), [windows](QWidget* parent) { return new Tfmtarefeh(windows, parent); });
    registry.add(QStringLiteral("Tfmbimeh_daru"),
                 [windows](QWidget* parent) { return new Tfmbimeh_daru(windows, parent); });
    registry.add(QStringLiteral("Tf_tanzimat_bime"),
                 [windows](QWidget* parent) { return new Tf_tanzimat_bime(windows, parent); });
    registry.add(QStringLiteral("Tf_doctor"), [windows](QWidget* parent) { return new Tf_doctor(windows, parent); });
    // The dispensing window opens the drug list and the insurer-drug rules of its
    // management menu as the main window would, the same kept windows.
    registry.add(QStringLiteral("Tf_froosh_darou"), [windows, &registry](QWidget* parent) {
        auto* window = new Tf_froosh_darou(windows, parent);
        window->setWindowOpener([&registry, window](const QString& windowClass) {
            QWidget* opened = registry.window(windowClass, window);
            if (auto* dialog = qobject_cast<QDialog*>(opened)) dialog->exec();
        });
        return window;
    });
    registry.add(QStringLiteral("TFg_masraf"), [windows](QWidget* parent) { return new TFg_masraf(windows, parent); });
    registry.add(QStringLiteral("TFg_masraf_pe"),
                 [windows](QWidget* parent) { return new TFg_masraf_pe(windows, parent); });
    registry.add(QStringLiteral("Tmojoodi"), [windows](QWidget* parent) { return new Tmojoodi(windows, parent); });
    registry.add(QStringLiteral("Tfmanbar_darookaneh"),
                 [windows](QWidget* parent) { return new Tfmanbar_darookaneh(windows, parent); });
    registry.add(QStringLiteral("Tm_kala_b"), [windows](QWidget* parent) { return new Tm_kala_b(windows, parent); });
    registry.add(QStringLiteral("Tf_tanzimat"), [windows](QWidget* parent) { return new Tf_tanzimat(windows, parent); });
    registry.add(
        QStringLiteral("TF_change_pass"), [windows](QWidget* parent) { return new TF_change_pass(windows, parent); },
        kClosesMain);
    registry.add(
        QStringLiteral("TF_user_new"), [windows](QWidget* parent) { return new TF_user_new(windows, parent); },
        kClosesMain);
}

} // namespace ph
