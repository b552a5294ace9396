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
#include "audit/ui/tarikhche.h"
#include "catalogue/ui/d_sakhtani.h"
#include "catalogue/ui/darou.h"
#include "catalogue/ui/formul.h"
#include "catalogue/ui/mosh_kala.h"
#include "catalogue/ui/payam.h"
#include "catalogue/ui/type_formul.h"
#include "catalogue/ui/wait_.h"
#include "catalogue/ui/fmmoadel.h"
#include "catalogue/ui/hamrah.h"
#include "claims/ui/disket_koli.h"
#include "claims/ui/list_bimeh.h"
#include "catalogue/ui/type_.h"
#include "dispensing/ui/edit_bimeh.h"
#include "dispensing/ui/froosh_darou.h"
#include "dispensing/ui/moghavemi.h"
#include "dispensing/ui/search_darou.h"
#include "dispensing/ui/sorathesab_b.h"
#include "insurance/ui/doctor.h"
#include "insurance/ui/fmbimeh.h"
#include "insurance/ui/fmbimeh_daru.h"
#include "insurance/ui/fmtarefeh.h"
#include "insurance/ui/hoteling.h"
#include "insurance/ui/tanzimat_bime.h"
#include "sales/ui/cash.h"
#include "sales/ui/cashier.h"
#include "sales/ui/froosh_kala.h"
#include "reports/ui/expiry_window.h"
#include "reports/ui/sales_report_window.h"
#include "reports/ui/stock_windows.h"
#include "core/app_context.h"
#include "widgets/window_context.h"

namespace ph {

namespace {

// The main window's own commands, the backups, the settings and the users.
void registerAdminWindows(WindowRegistry& registry, const WindowContext& windows, const QString& workingDir,
                          Tf_main& main) {
    main.addCommand(QString::fromLatin1(command::kPriceCorrection), [windows, workingDir, &main] {
        choosePriceWorkbookAndCorrect(workingDir, windows.db, windows.prompter, &main,
                                      AuditOrigin::here(windows.context.user_code, QStringLiteral("price correction")));
    });
    main.addCommand(QString::fromLatin1(command::kStructureRepair),
                    [windows, &main] { runStructureRepair(windows, &main); });
    registry.add(QStringLiteral("Tf_disk_bimeh"),
                 [windows, workingDir](QWidget* parent) { return new Tf_disk_bimeh(windows, workingDir, parent); });
    registry.add(QStringLiteral("Trestore"), [windows](QWidget* parent) { return new Trestore(windows, parent); });
    // Windows that change users or passwords close the main window when left, so the
    // next work starts with a fresh sign-in.
    constexpr bool kClosesMain = true;
    registry.add(QStringLiteral("Tf_tanzimat"), [windows](QWidget* parent) { return new Tf_tanzimat(windows, parent); });
    registry.add(
        QStringLiteral("TF_change_pass"), [windows](QWidget* parent) { return new TF_change_pass(windows, parent); },
        kClosesMain);
    registry.add(
        QStringLiteral("TF_user_new"), [windows](QWidget* parent) { return new TF_user_new(windows, parent); },
        kClosesMain);
}

// The catalogue: drugs, goods, forms, texts and the compounding formulas.
void registerCatalogueWindows(WindowRegistry& registry, const WindowContext& windows) {
    registry.add(QStringLiteral("Tf_darou"), [windows](QWidget* parent) {
        auto* window = new Tf_darou(windows, parent);
        window->setLockAction([windows, window] {
            TF_password lock(windows.context, windows.db, windows.prompter, window);
            lock.exec();
        });
        return window;
    });
    registry.add(QStringLiteral("Tfmmoadel"), [windows](QWidget* parent) { return new Tfmmoadel(windows, parent); });
    registry.add(QStringLiteral("Tf_hamrah"), [windows](QWidget* parent) { return new Tf_hamrah(windows, parent); });
    registry.add(QStringLiteral("TF_type"), [windows](QWidget* parent) { return new TF_type(windows, parent); });
    registry.add(QStringLiteral("Tfmmosh_kala"),
                 [windows](QWidget* parent) { return new Tfmmosh_kala(windows, parent); });
    registry.add(QStringLiteral("Tf_payam"), [windows](QWidget* parent) { return new Tf_payam(windows, parent); });
    registry.add(QStringLiteral("Tf_d_sakhtani"), [windows](QWidget* parent) {
        auto* window = new Tf_d_sakhtani(windows, parent);
        window->setLockAction([windows, window] {
            TF_password lock(windows.context, windows.db, windows.prompter, window);
            lock.exec();
        });
        return window;
    });
    registry.add(QStringLiteral("TF_type_formul"),
                 [windows](QWidget* parent) { return new TF_type_formul(windows, parent); });
    registry.add(QStringLiteral("TF_wait"), [windows](QWidget* parent) { return new TF_wait(windows, parent); });
    // The formula window opens the base materials (F5) as the main window would, the same kept window,
    // and the compounded drug search (F7).
    registry.add(QStringLiteral("TF_formul"), [windows, &registry](QWidget* parent) {
        auto* window = new TF_formul(windows, parent);
        window->setWindowOpener([&registry, window](const QString& windowClass) {
            QWidget* opened = registry.window(windowClass, window);
            if (auto* dialog = qobject_cast<QDialog*>(opened)) dialog->exec();
        });
        // F7 finds a compounded drug in the drug search; its formula is then shown.
        window->setDrugSearch([&registry, window]() -> std::optional<double> {
            auto* search = qobject_cast<Tf_search_darou*>(registry.window(QStringLiteral("Tf_search_darou"), window));
            if (!search) return std::nullopt;
            return search->choose();
        });
        return window;
    });
}

// The insurers, their tariffs, drug rules and hoteling, and the doctors.
void registerInsuranceWindows(WindowRegistry& registry, const WindowContext& windows) {
    registry.add(QStringLiteral("Tfmbimeh"), [windows](QWidget* parent) { return new Tfmbimeh(windows, parent); });
    registry.add(QStringLiteral("Tfmtarefeh"), [windows](QWidget* parent) { return new Tfmtarefeh(windows, parent); });
    registry.add(QStringLiteral("Tfmbimeh_daru"),
                 [windows](QWidget* parent) { return new Tfmbimeh_daru(windows, parent); });
    registry.add(QStringLiteral("Tf_tanzimat_bime"),
                 [windows](QWidget* parent) { return new Tf_tanzimat_bime(windows, parent); });
    registry.add(QStringLiteral("Tf_hoteling"), [windows](QWidget* parent) { return new Tf_hoteling(windows, parent); });
    registry.add(QStringLiteral("Tf_doctor"), [windows](QWidget* parent) { return new Tf_doctor(windows, parent); });
}

// Dispensing and its helpers.
void registerDispensingWindows(WindowRegistry& registry, const WindowContext& windows) {
    // The dispensing window opens the drug list and the insurer-drug rules of its
    // management menu as the main window would, the same kept windows.
    registry.add(QStringLiteral("Tf_froosh_darou"), [windows, &registry](QWidget* parent) {
        auto* window = new Tf_froosh_darou(windows, parent);
        window->setWindowOpener([&registry, window](const QString& windowClass) {
            QWidget* opened = registry.window(windowClass, window);
            if (auto* dialog = qobject_cast<QDialog*>(opened)) dialog->exec();
        });
        // The history of the shown prescription (the window checks the right first).
        window->setHistoryOpener([&registry, window](const QString& kind, const QString& key) {
            if (auto* history = qobject_cast<Tf_tarikhche*>(registry.window(QStringLiteral("Tf_tarikhche"), window))) {
                history->showDocument(kind, key);
                history->exec();
            }
        });
        window->setBillOpener([&registry, window](const QString& fileNumber) {
            if (auto* bill = qobject_cast<Tsorathesab_b*>(registry.window(QStringLiteral("Tsorathesab_b"), window))) {
                bill->setFileNumber(fileNumber);
                bill->exec();
            }
        });
        return window;
    });
    registry.add(QStringLiteral("Tf_moghavemi"),
                 [windows](QWidget* parent) { return new Tf_moghavemi(windows, parent); });
    registry.add(QStringLiteral("Tedit_bimeh"), [windows](QWidget* parent) { return new Tedit_bimeh(windows, parent); });
    // The compounded drug search, for the formulas window to open.
    registry.add(QStringLiteral("Tf_search_darou"),
                 [windows](QWidget* parent) { return new Tf_search_darou(windows, parent); });
    registry.add(QStringLiteral("Tsorathesab_b"),
                 [windows](QWidget* parent) { return new Tsorathesab_b(windows, parent); });
}

// The goods sale, the ward consumption and the cash desk.
void registerSalesWindows(WindowRegistry& registry, const WindowContext& windows) {
    // The goods sale and ward consumption windows open the stock list (Ctrl+M) as the main
    // window would, the same kept window.
    registry.add(QStringLiteral("Tf_froosh_kala"), [windows, &registry](QWidget* parent) {
        auto* window = new Tf_froosh_kala(windows, parent);
        window->setWindowOpener([&registry, window](const QString& windowClass) {
            QWidget* opened = registry.window(windowClass, window);
            if (auto* dialog = qobject_cast<QDialog*>(opened)) dialog->exec();
        });
        return window;
    });
    registry.add(QStringLiteral("Tmasrafi_bakhsh"), [windows, &registry](QWidget* parent) {
        auto* window = new Tmasrafi_bakhsh(windows, parent);
        window->setWindowOpener([&registry, window](const QString& windowClass) {
            QWidget* opened = registry.window(windowClass, window);
            if (auto* dialog = qobject_cast<QDialog*>(opened)) dialog->exec();
        });
        return window;
    });
    registry.add(QStringLiteral("Tf_cashier"), [windows](QWidget* parent) { return new Tf_cashier(windows, parent); });
    registry.add(QStringLiteral("Tf_cash"), [windows](QWidget* parent) { return new Tf_cash(windows, parent); });
}

// The insurance list and the merge of claim files.
void registerClaimsWindows(WindowRegistry& registry, const WindowContext& windows, const QString& workingDir) {
    // The insurance list opens a listed prescription for correction in the dispensing window
    // and waits for it to close.
    registry.add(QStringLiteral("Tf_list_bimeh"), [windows, workingDir, &registry](QWidget* parent) {
        auto* window = new Tf_list_bimeh(windows, workingDir, parent);
        window->setPrescriptionOpener([&registry, window](int invoice) {
            auto* dispensing = qobject_cast<Tf_froosh_darou*>(registry.window(QStringLiteral("Tf_froosh_darou"), window));
            if (!dispensing) return;
            dispensing->showOnOpen(invoice);
            dispensing->exec();
        });
        return window;
    });
    registry.add(QStringLiteral("Tdisket_koli"),
                 [windows, workingDir](QWidget* parent) { return new Tdisket_koli(windows, workingDir, parent); });
}

// The reports and the stock.
void registerReportsWindows(WindowRegistry& registry, const WindowContext& windows) {
    registry.add(QStringLiteral("TFg_masraf"), [windows](QWidget* parent) { return new TFg_masraf(windows, parent); });
    registry.add(QStringLiteral("TFg_masraf_pe"),
                 [windows](QWidget* parent) { return new TFg_masraf_pe(windows, parent); });
    registry.add(QStringLiteral("Tmojoodi"), [windows](QWidget* parent) { return new Tmojoodi(windows, parent); });
    registry.add(QStringLiteral("Tfmanbar_darookaneh"),
                 [windows](QWidget* parent) { return new Tfmanbar_darookaneh(windows, parent); });
    registry.add(QStringLiteral("Tm_kala_b"), [windows](QWidget* parent) { return new Tm_kala_b(windows, parent); });
    registry.add(QStringLiteral("Tf_engheza"), [windows](QWidget* parent) { return new Tf_engheza(windows, parent); });
    registry.add(QStringLiteral("Tf_tarikhche"), [windows](QWidget* parent) { return new Tf_tarikhche(windows, parent); });
}

} // namespace

void registerWindows(WindowRegistry& registry, const WindowContext& windows, const QString& workingDir,
                     Tf_main& main) {
    registerAdminWindows(registry, windows, workingDir, main);
    registerCatalogueWindows(registry, windows);
    registerInsuranceWindows(registry, windows);
    registerDispensingWindows(registry, windows);
    registerSalesWindows(registry, windows);
    registerClaimsWindows(registry, windows, workingDir);
    registerReportsWindows(registry, windows);
}

} // namespace ph
