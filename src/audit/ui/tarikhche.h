#pragma once

#include "audit/audit_history.h"
#include "print/report_outputs.h"
#include "widgets/window_context.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace ph {

class DateField;
class KeyNav;
struct HistoryHeading;
template <typename Row> class RowTableModel;

// The history of changes: the entries of a date range, a user, a kind of document and its key,
// and under them the changes of the current entry field by field (a document's lines with
// their rows). Enter walks the filters and then shows; F5 and F6 go to the two grids; F7
// shows, F8 prints, F11 saves a spreadsheet, F12 a PDF, F9 clears, F10 and Esc close. The
// line under the filters says what Enter does next.
class Tf_tarikhche : public QDialog {
    Q_OBJECT
public:
    explicit Tf_tarikhche(const WindowContext& windows, QWidget* parent = nullptr);
    ~Tf_tarikhche() override;

    void setOutputs(ReportOutputs outputs) { m_outputs = std::move(outputs); }

    // The history of one document, all dates and users: what the dispensing window asks for.
    void showDocument(const QString& kind, const QString& key);
    // F7: checks the dates and lists the entries; false when refused.
    bool showEntries();
    void printHistory();
    void saveSpreadsheet();
    void savePdf();
    void clearFields();

    const QList<AuditListedEntry>& entries() const { return m_found; }
    // What Enter does in the field that has the focus, as the window shows it.
    QString enterHint() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFields();
    void buildGrids();
    void buildCommands();
    void layOut();
    void fillChoices();
    void showChanges();
    void refreshHint();
    HistoryHeading heading() const;
    bool haveEntries();

    WindowContext m_windows;
    ReportOutputs m_outputs;
    QList<AuditListedEntry> m_found;
    bool m_choicesFilled = false;
    bool m_focusEntries = false; // the next showing starts in the entries (a document's history)

    DateField* me_date1 = nullptr;
    DateField* me_date2 = nullptr;
    QComboBox* cb_user = nullptr;
    QComboBox* cb_kind = nullptr;
    QLineEdit* me_key = nullptr;
    QLabel* lbl_enter = nullptr;
    QTableView* DBGrid1 = nullptr;
    QTableView* DBGrid2 = nullptr;
    RowTableModel<AuditListedEntry>* m_entries = nullptr;
    RowTableModel<AuditChangeLine>* m_changes = nullptr;
    KeyNav* m_nav = nullptr;
    QPushButton* but_show = nullptr;
    QPushButton* but_print = nullptr;
    QPushButton* but_excel = nullptr;
    QPushButton* but_pdf = nullptr;
    QPushButton* but_enseraf = nullptr;
    QPushButton* but_close = nullptr;
};

namespace texts {
inline const QString kHistoryTitle = QStringLiteral("تاريخچه تغييرات");
inline const QString kHistoryBadDate = QStringLiteral("تاريخ وارد شده صحيح نمي باشد");
inline const QString kHistoryNone = QStringLiteral("تغييري با اين مشخصات ثبت نشده است");
} // namespace texts

} // namespace ph
