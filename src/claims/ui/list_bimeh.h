#pragma once

#include "claims/claim_file.h"
#include "claims/insurance_list.h"
#include "print/xlsx_table.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QListWidget;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTableView;

namespace ph {

class CodeField;
class CommandBar;
class DateField;
class KeyNav;
class ListRowsModel;
namespace print {
class Report;
}

// Where a claim file goes.
enum class ClaimPlace {
    Default,      // the claims folder inside the working folder
    Removable,    // the removable-media folder chosen in the settings
    Chosen,       // a file chosen in a save dialog, default layout with the custom choices
    ChosenNoLines // a file chosen in a save dialog, without lines
};

// The insurance list Tf_list_bimeh: one or more insurers' outpatient prescriptions over a date
// range, narrowed by prescription type, total, specialty and confirmation; shown with totals,
// searched, sorted, printed, opened for correction, exported as a spreadsheet and as the
// insurers' claim files.
class Tf_list_bimeh : public QDialog {
    Q_OBJECT
public:
    Tf_list_bimeh(const WindowContext& windows, QString workingDir, QWidget* parent = nullptr);
    ~Tf_list_bimeh() override;

    // Opens a stored prescription for correction in the dispensing window and returns when that
    // window closes.
    void setPrescriptionOpener(std::function<void(int invoice)> open) { m_openPrescription = std::move(open); }
    // Asks for a file to save under a proposed name; empty when cancelled (a save dialog by default).
    void setFileChooser(std::function<QString(const QString& proposed)> choose) { m_chooseFile = std::move(choose); }
    // Shows a report: in preview, or straight to the printer (the report engine by default).
    void setReportOutput(std::function<void(const print::Report&, bool preview)> output) {
        m_outputReport = std::move(output);
    }
    // Opens a written spreadsheet with the desktop's program for it; false when there is none.
    void setSheetOpener(std::function<bool(const QString& path)> open) { m_openSheet = std::move(open); }

    // The commands, as their keys and menus run them.
    void showList();                           // F7
    void printList(bool preview = true);       // F8, and the printer without preview
    void correctPrescription();                // F3
    void clearScreen();                        // F9
    void sortBy(ListOrder order);              // the sort menu
    void exportClaimFile(ClaimPlace place);    // the export menu
    void exportSheet();                        // the export menu's spreadsheet
    QMenu* exportMenu() const { return m_exportMenu; }
    QMenu* sortMenu() const { return m_sortMenu; }

    // The shown rows in their order.
    const QList<ListRow>& shownRows() const;
    // The last spreadsheet written.
    const QString& lastSheet() const { return m_lastSheet; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeFields();
    void makeGrid();
    void makeCommands();
    void makeLayout();
    void addInsurer(int code, const QString& name);
    bool insurerEntered();
    void removeInsurer();
    void fillSpecialties();
    // The selection the fields describe (dates as typed, unchecked).
    ListSelection selection() const;
    // Validates; on a fault shows it and focuses the field. The checked selection, or nothing.
    std::optional<ListSelection> checkedSelection();
    void showRows(QList<ListRow> rows);
    void resetTotals();
    // Makes the row the grid's current one.
    void selectRow(int row);
    void search(int which);
    QString claimFolder(ClaimPlace place);

    WindowContext m_windows;
    QString m_workingDir;
    InsuranceListStore m_store;
    ListSelection m_shown; // the selection of the shown rows
    bool m_bound = false;
    QString m_lastName;    // the file name proposed last time
    QString m_lastSheet;

    std::function<void(int)> m_openPrescription;
    std::function<QString(const QString&)> m_chooseFile;
    std::function<void(const print::Report&, bool)> m_outputReport;
    std::function<bool(const QString&)> m_openSheet;

    CodeField* edtInsID = nullptr;
    QListWidget* lstIns = nullptr;
    QListWidget* lstInsID = nullptr;
    CodeField* me_code_no = nullptr;
    QLineEdit* me_name_no = nullptr;
    QListWidget* CheckListBox1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    DateField* me_date11 = nullptr;
    DateField* me_date22 = nullptr;
    CodeField* me_kaf = nullptr;
    CodeField* me_saghf = nullptr;
    CodeField* me_page1 = nullptr;
    CodeField* me_page2 = nullptr;
    CodeField* fani = nullptr;
    QRadioButton* rb_all = nullptr;
    QRadioButton* rb_taeed = nullptr;
    QRadioButton* rb_else = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* chbBimarName = nullptr;
    QCheckBox* chbDoctorName = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QLineEdit* me_search1 = nullptr;
    QLineEdit* me_search2 = nullptr;
    QLineEdit* me_search3 = nullptr;
    QLineEdit* me_sazman = nullptr;
    QLineEdit* me_bimar = nullptr;
    QLineEdit* me_koll = nullptr;
    QLineEdit* count = nullptr;
    QLineEdit* me_sazman_noskhe = nullptr;
    QLineEdit* me_sazman_aghlam = nullptr;
    ListRowsModel* m_rows = nullptr;
    QTableView* DBGrid1 = nullptr;
    CommandBar* m_bar = nullptr;
    KeyNav* m_nav = nullptr;
    QMenu* m_exportMenu = nullptr;
    QMenu* m_sortMenu = nullptr;
    QList<int> m_specialtyCodes;
};

// The insurance list's spreadsheet: the eight columns under their captions, one row per
// prescription, right to left.
print::XlsxSheet insuranceListSheet(const QList<SheetRow>& rows);

} // namespace ph
