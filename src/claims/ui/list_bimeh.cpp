#include "claims/ui/list_bimeh.h"

#include "catalogue/lookup_list.h"
#include "claims/claims_texts.h"
#include "claims/ui/list_bimeh_texts.h"
#include "claims/ui/list_report.h"
#include "claims/ui/list_rows_model.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "dispensing/invoice_search.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "insurance/doctor_store.h"
#include "insurance/insurer_store.h"
#include "print/report_output.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/number_delegate.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/row_table_model.h"
#include "widgets/window_tools.h"
#include "widgets/workstation_settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableView>
#include <QUrl>
#include <QVBoxLayout>

namespace ph {

Tf_list_bimeh::Tf_list_bimeh(const WindowContext& windows, QString workingDir, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_workingDir(std::move(workingDir)), m_store(windows.db) {
    setObjectName(QStringLiteral("Tf_list_bimeh"));
    setWindowTitle(texts::kTitle);
    setLayoutDirection(Qt::RightToLeft);
    setModal(true);
    m_chooseFile = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, windowTitle(), proposed);
    };
    m_outputReport = [this](const print::Report& report, bool preview) {
        const print::OutputResult result = preview ? print::preview(report, this) : print::printDirect(report);
        if (result.status == print::OutputResult::Status::Failed) m_windows.prompter.warning(result.message);
    };
    m_openSheet = [](const QString& path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    makeFields();
    makeGrid();
    makeCommands();
    makeLayout();
    resize(1200, 700); // room for the grid's rows under the selection fields
}

Tf_list_bimeh::~Tf_list_bimeh() = default;

void Tf_list_bimeh::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    fani->setText(m_windows.context.director_nezam);
    clearScreen();
    guarded(m_windows.prompter, [this] { fillSpecialties(); });
    edtInsID->setFocus();
}

void Tf_list_bimeh::fillSpecialties() {
    CheckListBox1->clear();
    m_specialtyCodes.clear();
    for (const auto& [code, name] : DoctorStore(m_windows.db).specialties()) {
        auto* item = new QListWidgetItem(name, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
        m_specialtyCodes.append(code);
    }
    if (CheckListBox1->count()) CheckListBox1->setCurrentRow(0);
}

bool Tf_list_bimeh::insurerEntered() {
    if (edtInsID->text().isEmpty()) return true;
    if (!edtInsID->acceptCode()) return false;
    const std::optional<qint64> code = edtInsID->code();
    const std::optional<QString> name = edtInsID->lookupName();
    if (code && name) addInsurer(int(*code), *name);
    edtInsID->clear();
    return true;
}

void Tf_list_bimeh::addInsurer(int code, const QString& name) {
    lstIns->addItem(name);
    lstInsID->addItem(QString::number(code));
}

void Tf_list_bimeh::removeInsurer() {
    const int row = lstIns->currentRow();
    if (row < 0) return;
    delete lstIns->takeItem(row);
    delete lstInsID->takeItem(row);
}

namespace {
// The stored yy/mm/dd of a date field: empty when nothing is typed; a malformed date is
// passed on as typed so that the check refuses it.
QString dateOf(const DateField* field) {
    QString shown = field->text();
    shown.remove(u'/');
    if (shown.trimmed().isEmpty()) return {};
    const QString stored = field->storedText();
    return stored.isEmpty() ? field->text() : stored;
}
} // namespace

ListSelection Tf_list_bimeh::selection() const {
    ListSelection s;
    for (int i = 0; i < lstInsID->count(); ++i) s.insurers.append(lstInsID->item(i)->text().toInt());
    if (const auto type = me_code_no->code()) s.prescriptionType = int(*type);
    if (!me_kaf->text().isEmpty()) s.lowestTotal = me_kaf->text().toDouble();
    if (!me_saghf->text().isEmpty()) s.highestTotal = me_saghf->text().toDouble();
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() != Qt::Checked) s.excludedSpecialties.append(m_specialtyCodes.value(i));
    s.confirmation = rb_taeed->isChecked()  ? ListSelection::Confirmation::Confirmed
                     : rb_else->isChecked() ? ListSelection::Confirmation::Ordinary
                                            : ListSelection::Confirmation::All;
    s.from = dateOf(me_date11);
    s.to = dateOf(me_date22);
    return s;
}

std::optional<ListSelection> Tf_list_bimeh::checkedSelection() {
    ListSelection s = selection();
    const std::optional<ListFault> fault = checkSelection(s, fani->text());
    if (!fault) return s;
    m_windows.prompter.warning(listFaultText(*fault));
    switch (*fault) {
    case ListFault::NoInsurer: edtInsID->setFocus(); break;
    case ListFault::NoFani: fani->setFocus(); break;
    case ListFault::NoFirstDate:
    case ListFault::BadFirstDate: me_date11->setFocus(); break;
    case ListFault::NoSecondDate:
    case ListFault::BadSecondDate: me_date22->setFocus(); break;
    }
    return std::nullopt;
}

void Tf_list_bimeh::resetTotals() {
    for (QLineEdit* box : {me_sazman, me_bimar, me_koll, count}) box->setText(QStringLiteral("0"));
    m_rows->setAll({});
    m_bound = false;
}

void Tf_list_bimeh::clearScreen() {
    edtInsID->clear();
    rb_all->setChecked(true);
    resetTotals();
    me_sazman_noskhe->setText(QStringLiteral("0"));
    me_sazman_aghlam->setText(QStringLiteral("0"));
    m_bar->button(CommandBar::Print)->setEnabled(false);
    for (QCheckBox* box : {CheckBox3, chbBimarName, chbDoctorName}) box->setChecked(false);
}

void Tf_list_bimeh::showRows(QList<ListRow> rows) {
    const ListTotals totals = totalsOf(rows);
    me_sazman->setText(amountDisplayText(totals.insurerShare));
    me_bimar->setText(amountDisplayText(totals.patientShare));
    me_koll->setText(amountDisplayText(totals.total()));
    count->setText(QString::number(totals.count));
    m_rows->narrow(ListRowsModel::Field::None, {});
    m_rows->setAll(std::move(rows));
    m_bound = true;
    selectRow(0);
}

void Tf_list_bimeh::showList() {
    resetTotals();
    m_bar->button(CommandBar::Print)->setEnabled(true);
    const std::optional<ListSelection> s = checkedSelection();
    if (!s) return;
    QList<ListRow> rows = m_store.rows(*s);
    if (rows.isEmpty()) {
        m_windows.prompter.warning(claims::texts::kNothingFound);
        return;
    }
    m_shown = *s;
    showRows(std::move(rows));
}

void Tf_list_bimeh::selectRow(int row) {
    if (!m_rows->hasRow(row)) return;
    DBGrid1->setCurrentIndex(m_rows->index(row, 0));
}

const QList<ListRow>& Tf_list_bimeh::shownRows() const { return m_rows->rows(); }

void Tf_list_bimeh::sortBy(ListOrder order) {
    if (m_bound) m_rows->order(order);
}

void Tf_list_bimeh::search(int which) {
    if (!m_bound) return;
    QLineEdit* field = which == 1 ? me_search1 : which == 2 ? me_search2 : me_search3;
    const QString text = field->text();
    if (text.isEmpty()) {
        m_rows->narrow(ListRowsModel::Field::None, {});
        return;
    }
    if (which == 1 && text.at(0).isDigit()) {
        // A number locates the invoice in invoice order.
        m_rows->narrow(ListRowsModel::Field::None, {});
        m_rows->order(ListOrder::Invoice);
        const QList<ListRow>& rows = m_rows->rows();
        for (int i = 0; i < rows.size(); ++i)
            if (QString::number(rows.at(i).invoice) == text) selectRow(i);
        return;
    }
    const ListOrder order = which == 1 ? ListOrder::Family : which == 2 ? ListOrder::InsuranceNumber : ListOrder::Code;
    const auto narrowBy = which == 1   ? ListRowsModel::Field::Family
                          : which == 2 ? ListRowsModel::Field::InsuranceNumber
                                       : ListRowsModel::Field::Code;
    m_rows->order(order);
    m_rows->narrow(narrowBy, text);
}

void Tf_list_bimeh::correctPrescription() {
    if (!m_bound || m_rows->rowCount() == 0 || !m_openPrescription) return;
    const int row = currentSourceRow(DBGrid1);
    if (!m_rows->hasRow(row)) return;
    m_openPrescription(m_rows->row(row).invoice);
    // Corrected prescriptions are read again, in date order.
    m_rows->setAll(m_store.rows(m_shown));
    const ListTotals totals = totalsOf(m_rows->all());
    me_sazman->setText(amountDisplayText(totals.insurerShare));
    me_bimar->setText(amountDisplayText(totals.patientShare));
    me_koll->setText(amountDisplayText(totals.total()));
    count->setText(QString::number(totals.count));
}

bool Tf_list_bimeh::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl+A to Ctrl+I sort the list from every field, a text field's own use of them aside.
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier && key->key() >= Qt::Key_A && key->key() <= Qt::Key_I) return true;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == CheckListBox1) {
        if (key->key() == Qt::Key_Right) {
            me_code_no->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Space && CheckListBox1->currentItem()) {
            QListWidgetItem* item = CheckListBox1->currentItem();
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            return true;
        }
    }
    if (watched == me_search1 || watched == me_search2 || watched == me_search3) {
        if (isEnter(key)) {
            if (watched == me_search1) me_search2->setFocus();
            if (watched == me_search2) me_search3->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Up) {
            DBGrid1->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Down) {
            if (watched == me_search3) me_search2->setFocus();
            if (watched == me_search2) me_search1->setFocus();
            return true;
        }
    }
    if (watched == DBGrid1 && key->key() == Qt::Key_Tab) {
        me_search1->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
