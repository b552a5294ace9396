#include "dispensing/ui/barchasb.h"

#include "core/amounts.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "dispensing/print/label_print.h"
#include "print/report_output.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"
#include "widgets/workstation_settings.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

const QStringList kCaptions = {QStringLiteral("رديف"),
                               QStringLiteral(" كــددارو "),
                               QStringLiteral("                  نــام دارو  "),
                               QStringLiteral("                  دستور مصرف دارو  "),
                               QStringLiteral("                  نحوه نگهداري دارو  "),
                               QStringLiteral("                  پيام يا توضيح  ")};

} // namespace

Tf_barchasb::Tf_barchasb(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("f_barchasb"));
    setWindowTitle(QStringLiteral("فرم برچسب"));
    resize(900, 520);
    m_model = new QStandardItemModel(0, kCaptions.size(), this);
    m_model->setHorizontalHeaderLabels(kCaptions);
    StringGrid1 = makeListGrid(this, QStringLiteral("StringGrid1"), m_model);
    connect(StringGrid1, &QTableView::clicked, this, [this](const QModelIndex& index) { selectRow(index.row()); });
    StringGrid1->installEventFilter(this);

    me_code_darou = makeLineField(this, QStringLiteral("me_code_darou"));
    me_name_darou = makeLineField(this, QStringLiteral("me_name_darou"));
    for (QLineEdit* shown : {me_code_darou, me_name_darou}) {
        shown->setReadOnly(true);
        shown->setFocusPolicy(Qt::NoFocus);
    }
    me_dastoor = makeLineField(this, QStringLiteral("me_dastoor"));
    me_negahdari = makeLineField(this, QStringLiteral("me_negahdari"));
    me_payam = makeLineField(this, QStringLiteral("me_payam"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("كــددارو"), me_code_darou);
    fields->addRow(QStringLiteral("نــام دارو"), me_name_darou);
    fields->addRow(QStringLiteral("دستور مصرف: "), me_dastoor);
    fields->addRow(QStringLiteral("نحوه نگهداري دارو: "), me_negahdari);
    fields->addRow(QStringLiteral("پيام يا توضيح :"), me_payam);

    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::Save | CommandBar::Edit | CommandBar::Delete | CommandBar::New |
                               CommandBar::Print | CommandBar::Close,
                           this);
    // The texts of a prescription's labels are the dispensing window's, not a data window's:
    // no right is tested here.
    for (CommandBar::Command c : {CommandBar::Save, CommandBar::Edit, CommandBar::Delete}) m_bar->setRight(c, {});
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("ثبت  F2"));
    m_bar->button(CommandBar::Edit)->setText(QStringLiteral("ويرايش F3"));
    m_bar->button(CommandBar::Delete)->setText(QStringLiteral("حذف  F4"));
    m_bar->button(CommandBar::New)->setText(QStringLiteral("انصراف/جديد F9"));
    m_bar->button(CommandBar::Print)->setText(QStringLiteral("چاپ برچسب"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->setHandler(CommandBar::Save, [this] { storeTexts(); });
    m_bar->setHandler(CommandBar::Edit, [this] { editRow(); });
    m_bar->setHandler(CommandBar::Delete, [] {});
    m_bar->setHandler(CommandBar::New, [] {});
    m_bar->setHandler(CommandBar::Print, [this] { printLabel(); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(fields);
    layout->addWidget(m_bar);
}

void Tf_barchasb::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) fill();
}

void Tf_barchasb::fill() {
    for (QLineEdit* field : {me_code_darou, me_name_darou, me_dastoor, me_negahdari, me_payam}) field->clear();
    m_labels.clear();
    m_selected = -1;
    guarded(m_windows.prompter, [this] {
        m_labels = CompoundedLabels(m_windows.db).load(m_prescription.invoice, m_prescription.drugCodes);
    });
    showRows();
    StringGrid1->setFocus();
}

void Tf_barchasb::showRows() {
    m_model->removeRows(0, m_model->rowCount());
    int number = 0;
    for (const CompoundedLabel& label : std::as_const(m_labels))
        m_model->appendRow({numberItem(++number), numberItem(label.code), new QStandardItem(label.name),
                            new QStandardItem(label.instruction), new QStandardItem(label.storage),
                            new QStandardItem(label.message)});
    if (m_labels.isEmpty()) m_model->appendRow(QList<QStandardItem*>{new QStandardItem}); // one empty row
}

void Tf_barchasb::selectRow(int row) {
    if (row < 0 || row >= m_labels.size()) return;
    m_selected = row;
    const CompoundedLabel& label = m_labels.at(row);
    me_code_darou->setText(plainDecimalText(label.code));
    me_name_darou->setText(label.name);
    // Only the texts the row has replace what the fields hold.
    if (!label.instruction.isEmpty()) me_dastoor->setText(label.instruction);
    if (!label.storage.isEmpty()) me_negahdari->setText(label.storage);
    if (!label.message.isEmpty()) me_payam->setText(label.message);
}

void Tf_barchasb::editRow() {
    if (me_code_darou->text().trimmed().isEmpty() || me_name_darou->text().trimmed().isEmpty()) return;
    if (m_selected < 0 || m_selected >= m_labels.size()) return;
    CompoundedLabel& label = m_labels[m_selected];
    label.instruction = me_dastoor->text();
    label.storage = me_negahdari->text();
    label.message = me_payam->text();
    for (QLineEdit* field : {me_dastoor, me_negahdari, me_payam}) field->clear();
    showRows();
}

void Tf_barchasb::storeTexts() {
    guarded(m_windows.prompter, [this] { CompoundedLabels(m_windows.db).store(m_prescription.invoice, m_labels); });
}

std::optional<print::Report> Tf_barchasb::labelOfSelected() const {
    if (m_selected < 0 || m_selected >= m_labels.size() || me_code_darou->text().trimmed().isEmpty())
        return std::nullopt;
    CompoundedLabel label = m_labels.at(m_selected);
    label.instruction = me_dastoor->text();
    label.storage = me_negahdari->text();
    label.message = me_payam->text();
    const LabelHeading heading{m_windows.context.pharmacy_name,
                               m_prescription.patientName.trimmed() + QStringLiteral("  ") +
                                   m_prescription.patientFamily.trimmed(),
                               m_prescription.prescriberName.trimmed() + QStringLiteral(" ") +
                                   m_prescription.prescriberFamily.trimmed()};
    return labelReport(label, CompoundedLabels(m_windows.db).contents(label.code), heading,
                       workstation::labelPageMm(m_windows.settings));
}

void Tf_barchasb::printLabel() {
    guarded(m_windows.prompter, [this] {
        const std::optional<print::Report> report = labelOfSelected();
        if (!report) return;
        const print::OutputResult result = print::printDirect(*report);
        if (result.status == print::OutputResult::Status::Failed) m_windows.prompter.warning(result.message);
    });
}

bool Tf_barchasb::eventFilter(QObject* watched, QEvent* event) {
    // Any key pressed or released in the grid selects the row it stands on.
    if (watched == StringGrid1 && (event->type() == QEvent::KeyRelease)) selectRow(StringGrid1->currentIndex().row());
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
