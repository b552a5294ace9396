#include "catalogue/ui/fmmoadel.h"

#include "catalogue/ui/drug_name_box.h"
#include "core/prompter.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kSameDrug = QStringLiteral("داروي معادل وارد شده با داروي اصلي يكي مي باشد");

} // namespace

Tfmmoadel::Tfmmoadel(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows),
      m_equivalents(new RowTableModel<EquivalentRow>(
          {
              {QStringLiteral("كـــد دارو"), [](const EquivalentRow& r) { return QVariant(r.code); }},
              {QStringLiteral("نـــــام دارو"), [](const EquivalentRow& r) { return QVariant(r.name); }},
              {QStringLiteral("شكل دارو"), [](const EquivalentRow& r) { return QVariant(r.formName); }},
          },
          this)) {
    setObjectName(QStringLiteral("fmmoadel"));
    setWindowTitle(QStringLiteral("فـــــــرم مـــعـــادل ســازي دارو"));
    me_name_a = new DrugNameBox(windows, QStringLiteral("me_name_a"), this);
    la_type_d = new QLabel(this);
    la_type_d->setObjectName(QStringLiteral("la_type_d"));
    me_name_m = new DrugNameBox(windows, QStringLiteral("me_name_m"), this);
    me_type_m = makeLineField(this, QStringLiteral("me_type_m"));
    me_type_m->setReadOnly(true);
    me_type_m->setFocusPolicy(Qt::NoFocus);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_equivalents);
    setCodeColumns(DBGrid1, {0});

    connect(me_name_a, &DrugNameBox::drugChanged, this, [this] {
        const std::optional<GoodsChoice> drug = me_name_a->drug();
        la_type_d->setText(drug ? drug->formName : QString());
        guarded(m_windows.prompter, [this] { reloadGrid(); });
    });
    connect(me_name_a, &DrugNameBox::picked, this, [this] { me_name_m->setFocus(); });
    connect(me_name_m, &DrugNameBox::drugChanged, this, [this] {
        const std::optional<GoodsChoice> drug = me_name_m->drug();
        me_type_m->setText(drug ? drug->formName : QString());
    });
    for (QWidget* box : {static_cast<QWidget*>(me_name_a), static_cast<QWidget*>(me_name_m)}) {
        box->installEventFilter(this);
        if (auto* combo = qobject_cast<QComboBox*>(box); combo && combo->lineEdit())
            combo->lineEdit()->installEventFilter(this);
    }

    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::Save | CommandBar::Delete | CommandBar::Close, this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("اضافه F2"));
    m_bar->button(CommandBar::Delete)->setText(QStringLiteral("حذفF4"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروج F10"));
    m_bar->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { addPair(); }); });
    m_bar->setHandler(CommandBar::Delete, [this] { guarded(m_windows.prompter, [this] { removePair(); }); });

    auto* fields = new QFormLayout;
    auto* mainRow = new QHBoxLayout;
    mainRow->addWidget(me_name_a, 1);
    mainRow->addWidget(la_type_d);
    fields->addRow(QStringLiteral("نام دارو اصلي : "), mainRow);
    fields->addRow(QStringLiteral("نام داروي معادل: "), me_name_m);
    fields->addRow(QStringLiteral("شكل دارو معادل : "), me_type_m);
    auto* hint = new QLabel(QStringLiteral("نمايش ليست داروها: ") + QStringLiteral("Page Down"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addLayout(fields);
    layout->addWidget(hint);
    layout->addWidget(DBGrid1, 1);
    resize(720, 520);
}

void Tfmmoadel::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(m_windows.prompter, [this] {
        const QList<GoodsChoice> choices = goodsChoices(m_windows.db);
        me_name_a->setChoices(choices);
        me_name_m->setChoices(choices);
        reloadGrid();
    });
    me_name_a->setFocus();
}

bool Tfmmoadel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPlain(key)) return false;
    const bool inMain = watched == me_name_a || watched == me_name_a->lineEdit();
    const bool inEquivalent = watched == me_name_m || watched == me_name_m->lineEdit();
    if (inMain && isEnter(key)) {
        me_name_m->setFocus();
        return true;
    }
    if (inEquivalent && isEnter(key)) {
        m_bar->activate(CommandBar::Save);
        return true;
    }
    if (inEquivalent && key->key() == Qt::Key_Right) {
        me_name_a->setFocus();
        return true;
    }
    return false;
}

void Tfmmoadel::reloadGrid() {
    const std::optional<GoodsChoice> main = me_name_a->drug();
    m_equivalents->setRows(main ? EquivalentStore(m_windows.db).equivalentsOf(main->code) : QList<EquivalentRow>{});
    if (m_equivalents->rowCount() > 0) selectGridRow(DBGrid1, 0);
}

void Tfmmoadel::addPair() {
    const std::optional<GoodsChoice> main = me_name_a->drug();
    const std::optional<GoodsChoice> equivalent = me_name_m->drug();
    const std::optional<double> mainCode = main ? std::optional(main->code) : std::nullopt;
    const std::optional<double> equivalentCode = equivalent ? std::optional(equivalent->code) : std::nullopt;
    if (mainCode == equivalentCode) {
        confirmNotice(m_windows.prompter, kSameDrug);
        return;
    }
    if (!mainCode || !equivalentCode) return; // one of the two is missing
    EquivalentStore(m_windows.db).add(*mainCode, *equivalentCode);
    reloadGrid();
}

void Tfmmoadel::removePair() {
    const std::optional<GoodsChoice> main = me_name_a->drug();
    const int row = currentSourceRow(DBGrid1);
    if (!main || !m_equivalents->hasRow(row)) return;
    EquivalentStore(m_windows.db).remove(main->code, m_equivalents->row(row).code);
    reloadGrid();
}

} // namespace ph
