#pragma once

#include "dispensing/prescription_session.h"
#include "dispensing/print/prescription_prints.h"
#include "widgets/window_context.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class QTimer;

namespace ph {

class CommandBar;
class DrugLookup;
class ScanCatcher;
class PrescriptionHeaderPanel;
class LineListModel;
class TF_search_factor;
class Tf_barchasb;
class Tf_moadel;

// The prescription entry window: the header, the drug lookup, the line entry, the line
// list and the totals of a prescription being dispensed, saved with F2. The window maps
// its fields to the prescription session and the session's outcomes to messages and
// focus; the rules are the session's.
class Tf_froosh_darou : public QDialog {
    Q_OBJECT
public:
    // The lines the line list keeps in view below the expanded drug lookup.
    static constexpr int kShownLines = 6;

    explicit Tf_froosh_darou(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tf_froosh_darou() override;

    // Opens another window of the program by its class name (the management menu).
    void setWindowOpener(std::function<void(const QString&)> open) { m_openWindow = std::move(open); }
    // Opens the patient bill for a hospital file number (the management menu's "صورتحساب").
    void setBillOpener(std::function<void(const QString&)> open) { m_openBill = std::move(open); }
    // Opens the history of changes of one document, by its kind and key as the history names them.
    void setHistoryOpener(std::function<void(const QString& kind, const QString& key)> open) {
        m_openHistory = std::move(open);
    }

    PrescriptionSession& session() { return m_session; }
    CommandBar* commandBar() const { return m_bar; }
    QMenu* managementMenu() const { return m_management; }

    // The commands, as their keys and buttons run them.
    void save();
    void addLine();
    void replaceLine();
    void removeLine();
    void abandon();
    void openDrugList();
    // F5: the equivalents of the drug under the cursor of the drug lookup; the one chosen
    // is dispensed instead (the equivalents window, kept once made).
    void openEquivalents();
    // F6: the patient bill for the file number the insurance number's parts make.
    void openBill();
    // F12: the history of changes of the prescription the window shows (right tarikhche).
    void openHistory();
    // The print menu's invoice and prescription prints of a stored number (asked for).
    void printOnRequest(PrintKind kind);
    // The print menu's labels: the label window over the prescription the window shows.
    void openLabels();
    QDialog* labelsWindow() const;

    // Stored prescriptions. The current invoice number is the one shown or to be loaded;
    // for a new prescription it is the next number.
    int currentInvoice() const { return m_current; }
    // Shows the stored prescription with this number read-only; a number without one
    // shows an empty window with the inputs off.
    void showInvoice(int number);
    // The next showing of the window shows this stored prescription instead of a new one
    // (the insurance list opens a prescription for correction so).
    void showOnOpen(int number) { m_showOnOpen = number; }
    void showFirst();
    void showPrevious();
    void showNext();
    void showLast();
    // The search menu's "by invoice number": asks for the number and shows it.
    void searchByNumber();
    // F3: the shown prescription's header and lines may be changed and saved over it.
    void beginEdit();
    // Ctrl+F4 during a correction: asks for a number, shows it, asks, then deletes it.
    void deleteStored();

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The constructor's parts.
    void makeLineEntry();
    void makeTotals();
    void makeCommands();
    void makeLayout();
    void makePrintMenu();
    // The invoice search window for a search kind (1 family name to 4 prescription code);
    // the chosen prescription is shown.
    void searchInvoices(int kind);
    // Whether the shown prescription may give way to another: true unless a correction is
    // under way and the user does not abandon it.
    bool mayReplaceShown();
    // The number the print prompts offer: the shown stored prescription's, else the last stored.
    QString offeredNumber() const;
    void makeSearchMenu();
    // The prints the settings ask for after a new prescription was stored.
    void printAfterSaving(int invoice, const ShownFigures& shown);

    // A new prescription: the session started afresh and every field in its cleared state.
    void startNew();
    void loadDrugList();
    // Loads the current invoice number (see showInvoice).
    void loadCurrent();
    // The line entry, the drug lookup and the kind: off while a stored prescription is shown.
    void setInputsEnabled(bool enabled);
    PricingMoment moment() const;
    void refreshStatus();
    // The line list or the insurer changed: the list and the totals are shown again.
    void showLines();
    void showTotals(const Totals& totals);
    void chooseDrug();
    void selectLine();
    void setLineMode(bool replacing);
    // After the quantity or the kind: the price of a compounded drug, else the add or
    // replace button.
    void afterLineField();
    void showPrice(bool shown);
    // Applies the header the fields show to the session.
    void applyHeader();
    std::optional<LineInput> lineInput();
    bool headerAcceptsLine(const QString& kind);
    void focusField(const QString& objectName);
    int selectedLine() const;
    // The expanded drug lookup's height: what the line list leaves while it shows its lines.
    void fitDrugLookup();
    bool handleKey(QWidget* widget, QKeyEvent* event);
    // A pack scanned into the line entry.
    void takeScan(const QString& text);
    void showScanResult(const PrescriptionSession::ScanResult& result);
    // The drug lookup, the line fields and buttons, and the line list: where a scan is taken.
    QList<QWidget*> lineEntry() const;
    bool inLineEntry(const QWidget* widget) const;

    WindowContext m_windows;
    PrescriptionSession m_session;
    std::function<void(const QString&)> m_openWindow;
    std::function<void(const QString&)> m_openBill;
    std::function<void(const QString&, const QString&)> m_openHistory;
    std::optional<DrugItem> m_chosen;
    ScanCatcher* m_scans;

    PrescriptionHeaderPanel* m_header;
    DrugLookup* m_drugs;
    QLineEdit* me_tedad;
    QComboBox* cb_vaziat;
    QLineEdit* me_price;
    QLabel* Label11;
    QPushButton* but_sabt1;
    QPushButton* but_edit;
    QTableView* StringGrid1;
    LineListModel* m_linesModel;

    QLineEdit* me_sahme_bime;
    QLineEdit* me_sahme_bimar;
    QLineEdit* MedtKol;
    QLineEdit* me_azad;
    QLineEdit* me_otc;
    QLineEdit* me_kala;
    QLineEdit* me_koll_tarefeh;
    QLineEdit* me_fani;
    QLineEdit* me_koll;

    CommandBar* m_bar;
    QPushButton* but_Modiriat;
    QMenu* m_management;
    QMenu* PopupMenu3 = nullptr;
    TF_search_factor* m_invoiceSearch = nullptr; // made when first used, then kept
    Tf_barchasb* m_labelsWindow = nullptr;       // made when first used, then kept
    Tf_moadel* m_equivalentsWindow = nullptr;    // made when first used, then kept
    QMenu* m_searchMenu = nullptr;
    std::optional<int> m_showOnOpen;
    int m_current = 0;
    bool m_showsStored = false; // the current number's stored prescription is shown (or corrected)
    QAction* m_rulesAction = nullptr;
    QLabel* m_userPanel;
    QLabel* m_timePanel;
    QLabel* m_datePanel;
    QTimer* m_timer;
    QTimer* m_fitLookup; // fits the expanded drug lookup after the line list was resized
};

} // namespace ph
