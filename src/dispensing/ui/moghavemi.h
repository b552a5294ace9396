#pragma once

#include "dispensing/lump_prescription.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;
class QMenu;
class QTimer;

namespace ph {

class CodeField;
class CommandBar;
class DateField;
class KeyNav;
class TF_search_factor;

// The lump prescription entry Tf_moghavemi: a prescription recorded by its totals only
// (insurer, date and type, patient and booklet, prescriber, the total and its shares).
// F2 saves a new one, F3 saves changes to the shown one, F4 deletes it, F9 clears, Ctrl+S
// opens the search menu, Ctrl+F/P/N/L step through every stored prescription.
class Tf_moghavemi : public QDialog {
    Q_OBJECT
public:
    explicit Tf_moghavemi(const WindowContext& windows, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeFields();
    void makeCommands();
    void makeSearchMenu();
    void makeLayout();

    // Every field empty, type 1, save on, edit and delete off, the next number, the insurer focused.
    void clearAll();
    void showNumber(int invoiceNumber);
    void show(const LumpPrescription& p);
    LumpPrescription onScreen() const;
    void focusField(const QString& name);

    bool insurerLeft();
    bool bookletLeft();
    bool councilLeft();
    void councilChanged();
    void totalChanged();
    void pickBooklet();
    void pickPrescriber();

    void save();
    // Who changes a prescription from this window, for the history of changes.
    AuditOrigin auditOrigin() const;
    void edit();
    void remove();
    void step(int direction); // -2 first, -1 previous, +1 next, +2 last
    void searchByNumber();
    void searchInvoices(int kind);

    WindowContext m_windows;
    LumpPrescriptionSession m_session;
    std::optional<int> m_shown; // the stored prescription shown

    CodeField* me_code_bime = nullptr;
    QLineEdit* me_name_bime = nullptr;
    CodeField* me_ctype_no = nullptr;
    QLineEdit* me_ntype_no = nullptr;
    DateField* me_date_no1 = nullptr;
    QLineEdit* me_sh_bime = nullptr;
    QLineEdit* me_family = nullptr;
    QLineEdit* me_name_bimar = nullptr;
    DateField* me_date_bime1 = nullptr;
    QLineEdit* me_nezam_pe = nullptr;
    QLineEdit* me_family_pe = nullptr;
    QLineEdit* me_name_pe = nullptr;
    QLineEdit* me_sh_factor = nullptr;
    QLineEdit* me_code_no = nullptr;
    QLineEdit* me_koll = nullptr;
    QLineEdit* me_sazman = nullptr;
    QLineEdit* me_bimar = nullptr;
    QLabel* m_userPanel = nullptr;
    QLabel* m_timePanel = nullptr;
    QLabel* m_datePanel = nullptr;
    QTimer* m_timer = nullptr;
    CommandBar* m_bar = nullptr;
    QMenu* m_searchMenu = nullptr;
    KeyNav* m_nav = nullptr;
    TF_search_factor* m_invoiceSearch = nullptr; // made when first used, then kept
};

} // namespace ph
