#include "insurance/ui/doctor.h"

#include "core/app_context.h"
#include "core/prompter.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/key_nav.h"
#include "widgets/quick_search.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

// Columns of the grid's rows.
enum Column { CodeColumn, FamilyColumn, NameColumn, SpecialtyColumn, CouncilColumn };

QList<RowTableModel<DoctorRow>::Column> doctorColumns() {
    using Row = DoctorRow;
    return {
        {QStringLiteral("كـد پزشك"), [](const Row& r) { return QVariant(r.doctor.code); }},
        {QStringLiteral("نام خانوادگي"), [](const Row& r) { return QVariant(r.doctor.family); }},
        {QStringLiteral("نــام"), [](const Row& r) { return QVariant(r.doctor.name); }},
        {QStringLiteral("تـخـصـص"), [](const Row& r) { return QVariant(r.specialtyName); }},
        {QStringLiteral("شماره نطام پزشكي"), [](const Row& r) { return QVariant(r.doctor.councilNumber); }},
    };
}

} // namespace

Tf_doctor::Tf_doctor(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_rows(new DoctorTable(doctorColumns(), this)),
      m_proxy(new QuickSearchModel(this)) {
    setObjectName(QStringLiteral("f_doctor"));
    setWindowTitle(QStringLiteral("فــــــرم مــعــــرفـــي پـــزشــكــان"));
    resize(1000, 640);
    m_proxy->setSourceModel(m_rows);
    makeFields();
    makeCommands();
    makeLayout();
}

void Tf_doctor::makeFields() {
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_rows);
    me_code = makeLineField(this, QStringLiteral("me_code"));
    me_code->setReadOnly(true);
    me_code->setFocusPolicy(Qt::NoFocus);
    me_family = makeLineField(this, QStringLiteral("me_family"));
    me_name = makeLineField(this, QStringLiteral("me_name"));
    me_code_takhasos = new CodeField(this);
    me_code_takhasos->setObjectName(QStringLiteral("me_code_takhasos"));
    me_name_takhasos = makeLineField(this, QStringLiteral("me_name_takhasos"));
    me_name_takhasos->setReadOnly(true);
    me_name_takhasos->setFocusPolicy(Qt::NoFocus);
    me_code_takhasos->setLookup([this](qint64 code) { return DoctorStore(m_windows.db).specialtyName(code); },
                                     me_name_takhasos, m_windows.prompter);
    me_code_takhasos->setPicker([this] { pickSpecialty(); });
    me_nezam = makeLineField(this, QStringLiteral("me_nezam"));
    me_search1 = makeLineField(this, QStringLiteral("me_search1"));
    me_search2 = makeLineField(this, QStringLiteral("me_search2"));

    m_searchByCode = new QuickSearch(me_search1, m_proxy, DBGrid1, CodeColumn, FamilyColumn, this);
    m_searchByCode->setNameOrder({FamilyColumn});
    // The council-number search acts only on a text that begins with a digit.
    m_searchByCouncil = new QuickSearch(nullptr, m_proxy, DBGrid1, CouncilColumn, -1, this);
    connect(me_search2, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!text.isEmpty() && text.front().isDigit()) m_searchByCouncil->search(text);
    });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) loadRow(m_proxy->mapToSource(current).row());
            });
}

void Tf_doctor::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::DataWindow | CommandBar::Navigation | CommandBar::Sort, this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("ثبت  F2"));
    m_bar->button(CommandBar::Edit)->setText(QStringLiteral("ويرايش F3"));
    m_bar->button(CommandBar::Delete)->setText(QStringLiteral("حذف  F4"));
    m_bar->button(CommandBar::New)->setText(QStringLiteral("انصراف/جديد F9"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)});
    const QList<QPair<CommandBar::Command, QString>> hints = {{CommandBar::First, QStringLiteral("اولين")},
                                                              {CommandBar::Previous, QStringLiteral("قبلي")},
                                                              {CommandBar::Next, QStringLiteral("بعدي")},
                                                              {CommandBar::Last, QStringLiteral("آخرين")}};
    for (const auto& [command, hint] : hints)
        m_bar->button(command)->setToolTip(hint);
    m_bar->setHandler(CommandBar::Save, [this] { saveDoctor(); });
    m_bar->setHandler(CommandBar::Edit, [this] { editDoctor(); });
    m_bar->setHandler(CommandBar::Delete, [this] { deleteDoctor(); });
    m_bar->setHandler(CommandBar::New, [this] { clearForNew(); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });
    m_bar->setHandler(CommandBar::First, [this] { moveTo(0); });
    m_bar->setHandler(CommandBar::Previous, [this] { moveTo(DBGrid1->currentIndex().row() - 1); });
    m_bar->setHandler(CommandBar::Next, [this] { moveTo(DBGrid1->currentIndex().row() + 1); });
    m_bar->setHandler(CommandBar::Last, [this] { moveTo(DBGrid1->model()->rowCount() - 1); });

    auto* sortMenu = new QMenu(this);
    sortMenu->setObjectName(QStringLiteral("PopupMenu1"));
    sortMenu->addAction(QStringLiteral("براساس تخصص"), this, [this] {
        sortBy({SpecialtyColumn, FamilyColumn});
    });
    sortMenu->addAction(QStringLiteral("براساس كد پزشك"), this, [this] {
        guarded(m_windows.prompter, [this] { reload(); });
        sortBy({CodeColumn});
    });
    sortMenu->addAction(QStringLiteral("براساس نام خانوادگي"), this, [this] {
        sortBy({FamilyColumn, NameColumn});
    });
    sortMenu->addAction(QStringLiteral("براساس شماره نظام پزشكي"), this, [this] { sortBy({CouncilColumn}); });
    m_bar->setHandler(CommandBar::Sort, [this, sortMenu] {
        QPushButton* button = m_bar->button(CommandBar::Sort);
        sortMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });

    m_nav = new KeyNav({DBGrid1, me_family, me_name, me_code_takhasos, me_nezam}, this);
    m_nav->setUpMoves(me_family, false);
    for (QWidget* watched : {static_cast<QWidget*>(me_nezam), static_cast<QWidget*>(me_search1),
                             static_cast<QWidget*>(me_search2)})
        watched->installEventFilter(this);
}

void Tf_doctor::makeLayout() {
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("كد پزشك: "), me_code);
    fields->addRow(QStringLiteral("نام خانوادگي: "), me_family);
    fields->addRow(QStringLiteral("نام پزشك: "), me_name);
    auto* specialtyRow = new QHBoxLayout;
    specialtyRow->addWidget(me_code_takhasos, 1);
    specialtyRow->addWidget(me_name_takhasos, 3);
    fields->addRow(QStringLiteral("تخصص: "), specialtyRow);
    fields->addRow(QStringLiteral("شماره نظام پزشكي: "), me_nezam);

    auto* search1Box = new QGroupBox(QStringLiteral("جستجوي سريع براساس كد/نام خانوادگي"), this);
    (new QVBoxLayout(search1Box))->addWidget(me_search1);
    auto* search2Box = new QGroupBox(QStringLiteral("جستجوي سريع براساس شماره نظام پزشكي"), this);
    (new QVBoxLayout(search2Box))->addWidget(me_search2);
    auto* searches = new QHBoxLayout;
    searches->addWidget(search1Box);
    searches->addWidget(search2Box);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(searches);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(m_bar);
}

// The grid's rows go before the widgets: no signal may reach them while the window is taken apart.
Tf_doctor::~Tf_doctor() {
    DBGrid1->selectionModel()->disconnect(this);
    me_search2->disconnect(this);
}

void Tf_doctor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    clearForNew();
}

void Tf_doctor::hideEvent(QHideEvent* event) {
    me_search1->clear(); // the filter goes with the window
    me_search2->clear();
    QDialog::hideEvent(event);
}

bool Tf_doctor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPlain(key)) return false;
    const int k = key->key();
    if (watched == me_nezam && k == Qt::Key_Down) {
        me_search1->setFocus();
        return true;
    }
    if (watched == me_search1 || watched == me_search2) {
        if (isEnterKey(k) || k == Qt::Key_Up) {
            DBGrid1->setFocus();
            return true;
        }
        if (k == Qt::Key_Down) {
            (watched == me_search1 ? me_search2 : me_search1)->setFocus();
            return true;
        }
    }
    return false;
}

void Tf_doctor::reload() {
    m_rows->setRows(DoctorStore(m_windows.db).all());
    DBGrid1->setCurrentIndex({});
}

void Tf_doctor::clearForNew() {
    for (QLineEdit* field : {me_code, me_family, me_name, static_cast<QLineEdit*>(me_code_takhasos), me_name_takhasos,
                             me_nezam, me_search1, me_search2})
        field->clear();
    guarded(m_windows.prompter, [this] {
        reload();
        me_code->setText(QString::number(DoctorStore(m_windows.db).nextCode()));
    });
    m_bar->clearDocument();
    me_name->setFocus();
}

void Tf_doctor::loadRow(int sourceRow) {
    if (!m_rows->hasRow(sourceRow)) return;
    const DoctorRow& row = m_rows->row(sourceRow);
    me_code->setText(QString::number(row.doctor.code));
    me_family->setText(row.doctor.family);
    me_name->setText(row.doctor.name);
    me_code_takhasos->setText(QString::number(row.doctor.specialty));
    me_name_takhasos->setText(row.specialtyName);
    me_nezam->setText(row.doctor.councilNumber);
    m_bar->showDocument();
}

void Tf_doctor::moveTo(int proxyRow) {
    QAbstractItemModel* model = DBGrid1->model();
    if (proxyRow < 0 || proxyRow >= model->rowCount()) return;
    DBGrid1->setCurrentIndex(model->index(proxyRow, 0));
}

void Tf_doctor::sortBy(const QList<int>& columns) {
    m_proxy->sortByColumns(columns);
}

void Tf_doctor::selectCouncilNumber(const QString& councilNumber) {
    QAbstractItemModel* model = DBGrid1->model();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, CouncilColumn).data().toString() == councilNumber) return moveTo(row);
}

Doctor Tf_doctor::fromFields() const {
    return {me_code->text().toInt(), me_name->text(), me_family->text(), me_nezam->text(),
            int(me_code_takhasos->code().value_or(0))};
}

void Tf_doctor::pickSpecialty() {
    if (!m_windows.picker) return;
    PickRows rows;
    if (!guarded(m_windows.prompter, [&] { rows = DoctorStore(m_windows.db).specialtyPickRows(); })) return;
    if (pickCode(m_windows, me_code_takhasos, QStringLiteral("type_doctor"), rows)) me_nezam->setFocus();
}

void Tf_doctor::saveDoctor() {
    Prompter& prompter = m_windows.prompter;
    const auto refuse = [&prompter](const QString& text, QWidget* field) {
        prompter.warning(text);
        field->setFocus();
    };
    if (me_family->text().trimmed().isEmpty())
        return refuse(QStringLiteral("نام خانوادگي پزشك واردنشده است"), me_family);
    if (me_code_takhasos->text().trimmed().isEmpty())
        return refuse(QStringLiteral("نوع تخصص پزشك مشخص نشده است"), me_code_takhasos);
    if (me_nezam->text().trimmed().isEmpty())
        return refuse(QStringLiteral("شماره نظام پزشكي وارد نشده است"), me_nezam);
    // A specialty typed but never left is checked as leaving it would.
    if (!me_code_takhasos->acceptCode()) return;
    guarded(prompter, [&] {
        if (DoctorStore(m_windows.db).add(fromFields()) == DoctorStore::AddResult::Duplicate)
            return refuse(QStringLiteral("اطلاعات تكراري مي باشد"), me_nezam);
        clearForNew();
    });
}

void Tf_doctor::editDoctor() {
    if (m_rows->rowCount() == 0 || me_code->text().isEmpty()) return;
    Prompter& prompter = m_windows.prompter;
    if (!prompter.askYesNo(QStringLiteral("آيا از ويرايش اطلاعات مطمئن هستيد"))) return;
    // A doctor without a specialty, or with one not in the list, would fall out of the register's list.
    if (me_code_takhasos->text().trimmed().isEmpty()) {
        prompter.warning(QStringLiteral("نوع تخصص پزشك مشخص نشده است"));
        me_code_takhasos->setFocus();
        return;
    }
    if (!me_code_takhasos->acceptCode()) return;
    const Doctor doctor = fromFields();
    guarded(prompter, [&] {
        DoctorStore(m_windows.db).update(doctor);
        reload();
        selectCouncilNumber(doctor.councilNumber.trimmed());
    });
}

void Tf_doctor::deleteDoctor() {
    if (m_rows->rowCount() == 0 || me_code->text().isEmpty()) return;
    Prompter& prompter = m_windows.prompter;
    if (!prompter.askYesNo(QStringLiteral("آيا از حذف پزشك مطمئن هستيد"))) return;
    const int code = me_code->text().toInt();
    guarded(prompter, [&] {
        if (DoctorStore(m_windows.db).remove(code) == DoctorStore::RemoveResult::InUse) {
            prompter.warning(QStringLiteral("حذف اطلاعات پزشك موردنظر امكان پذير نيست"));
            return;
        }
        clearForNew();
    });
}

} // namespace ph
