#include "catalogue/ui/payam.h"

#include "core/prompter.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/quick_search.h"
#include "widgets/window_tools.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QShowEvent>
#include <QTableView>

namespace ph {
namespace {

QString titleOf(DrugTextKind kind) {
    switch (kind) {
    case DrugTextKind::Instructions:
        return QStringLiteral(" فرم تعريف دستورات دارويي ");
    case DrugTextKind::Messages:
        return QStringLiteral(" فرم تعريف پيام هاي دارويي ");
    case DrugTextKind::Storage:
        return QStringLiteral(" فرم تعريف نحوه نگهداري دارو ");
    }
    return {};
}

const QString kNoCode = QStringLiteral("كد تعريف نشده است");
const QString kNoText = QStringLiteral("شرح تعريف نشده است");
const QString kNotFound = QStringLiteral("كد مورد نظر يافت نشد");
const QString kConfirmDelete = QStringLiteral("آيا از حذف اطلاعات مطمئن هستيد");
const QString kInUse = QStringLiteral("امكان حذف وجود ندارد");

} // namespace

Tf_payam::Tf_payam(const WindowContext& windows, QWidget* parent)
    : ListWindow(windows,
                 new RowTableModel<DrugText>({{QStringLiteral("كــد"), [](const DrugText& t) { return QVariant(t.code); }},
                                              {QStringLiteral("شرح"), [](const DrugText& t) { return QVariant(t.text); }}}),
                 0, 1, parent) {
    setObjectName(QStringLiteral("f_payam"));
    m_model = static_cast<RowTableModel<DrugText>*>(quickSearch()->model()->sourceModel());
    m_model->setParent(this);
    setWindowTitle(titleOf(m_kind));
    resize(560, 560);
    m_code = makeLineField(this, QStringLiteral("me_code"));
    m_code->setReadOnly(true);
    m_code->setFocusPolicy(Qt::NoFocus);
    m_name = makeLineField(this, QStringLiteral("me_name"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("كــد: "), m_code);
    fields->addRow(QStringLiteral("شرح: "), m_name);
    setFields(fields);
    addSortEntry(QStringLiteral("براساس كد"), {0}, QKeySequence(Qt::CTRL | Qt::Key_A));
    addSortEntry(QStringLiteral("براساس نام"), {1}, QKeySequence(Qt::CTRL | Qt::Key_B));
    CommandBar* bar = commandBar();
    // This window tests no right of its own.
    for (CommandBar::Command c : {CommandBar::Save, CommandBar::Edit, CommandBar::Delete}) bar->setRight(c, {});
    bar->setHandler(CommandBar::Save, [this] { saveEntry(); });
    bar->setHandler(CommandBar::Edit, [this] { editEntry(); });
    bar->setHandler(CommandBar::Delete, [this] { deleteEntry(); });
    bar->setHandler(CommandBar::New, [this] { clearForNew(); });
    m_name->installEventFilter(this);
}

void Tf_payam::showEvent(QShowEvent* event) {
    ListWindow::showEvent(event);
    if (event->spontaneous()) return;
    m_kind = drugTextKindForFormMode(m_formMode).value_or(DrugTextKind::Instructions);
    setWindowTitle(titleOf(m_kind));
    clearForNew();
}

void Tf_payam::reload() {
    m_model->setRows(store().entries());
}

void Tf_payam::clearForNew() {
    m_name->clear();
    guarded(m_windows.prompter, [this] {
        reload();
        m_code->setText(QString::number(store().nextCode()));
    });
    commandBar()->clearDocument();
    commandBar()->setEnabled(CommandBar::Edit, true);
    commandBar()->setEnabled(CommandBar::Delete, true);
    m_name->setFocus();
}

void Tf_payam::loadRow(int sourceRow) {
    if (!m_model->hasRow(sourceRow)) return;
    const DrugText& text = m_model->row(sourceRow);
    m_code->setText(QString::number(text.code));
    m_name->setText(text.text);
}

void Tf_payam::saveEntry() {
    if (m_code->text().trimmed().isEmpty()) return m_windows.prompter.warning(kNoCode);
    if (m_name->text().trimmed().isEmpty()) {
        m_windows.prompter.warning(kNoText);
        m_name->setFocus();
        return;
    }
    if (!guarded(m_windows.prompter, [this] { store().add(m_name->text()); })) return;
    clearForNew();
}

void Tf_payam::editEntry() {
    if (m_name->text().trimmed().isEmpty()) {
        m_windows.prompter.warning(kNoText);
        m_name->setFocus();
        return;
    }
    DrugTextStore::Result result = DrugTextStore::Result::Saved;
    if (!guarded(m_windows.prompter,
                 [&] { result = store().edit(m_code->text().toLongLong(), m_name->text()); }))
        return;
    if (result == DrugTextStore::Result::Missing) return m_windows.prompter.warning(kNotFound);
    clearForNew();
}

void Tf_payam::deleteEntry() {
    if (m_code->text().isEmpty()) return;
    if (!m_windows.prompter.askYesNo(kConfirmDelete)) return;
    DrugTextStore::Result result = DrugTextStore::Result::Saved;
    if (!guarded(m_windows.prompter, [&] { result = store().remove(m_code->text().toLongLong()); })) return;
    if (result == DrugTextStore::Result::InUse) return m_windows.prompter.warning(kInUse);
    clearForNew();
}

} // namespace ph
