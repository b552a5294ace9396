#include "insurance/ui/fmbimeh_daru.h"

#include "core/app_context.h"
#include "core/prompter.h"
#include "core/amounts.h"
#include "insurance/doctor_store.h"
#include "insurance/insurer_store.h"
#include "widgets/command_bar.h"
#include "widgets/key_nav.h"
#include "widgets/quick_search.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QAction>
#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

// Columns of the rule grid.
enum Column {
    FormColumn,
    CodeColumn,
    NameColumn,
    QuantityColumn,
    TariffColumn,
    SpecialtyColumn,
    HospitalColumn,
    NotCoveredColumn
};

QList<RowTableModel<DrugRuleRow>::Column> ruleColumns() {
    using Row = DrugRuleRow;
    return {
        {QStringLiteral("شكل دارو"), [](const Row& r) { return QVariant(r.formName); }},
        {QStringLiteral("كد دارو"), [](const Row& r) { return QVariant(r.rule.drug); }},
        {QStringLiteral("نام دارو"), [](const Row& r) { return QVariant(r.drugName); }},
        {QStringLiteral("تعداد"), [](const Row& r) { return QVariant(r.rule.quantity); }},
        {QStringLiteral("مبلغ"), [](const Row& r) { return QVariant(r.rule.tariff); }},
        {QStringLiteral("تخصص"), [](const Row& r) { return QVariant(r.specialtyName); }},
        {QStringLiteral("بيمارستاني"), [](const Row& r) { return QVariant(r.rule.hospitalOnly); }, true},
        {QStringLiteral("غيربيمه اي"), [](const Row& r) { return QVariant(r.rule.notCovered); }, true},
    };
}

QList<RowTableModel<DrugChoice>::Column> drugColumns() {
    using Row = DrugChoice;
    return {
        {QStringLiteral("كــــد"), [](const Row& r) { return QVariant(r.code); }},
        {QStringLiteral("نـــام"), [](const Row& r) { return QVariant(r.name); }},
        {QStringLiteral("شكل دارو"), [](const Row& r) { return QVariant(r.formName); }},
    };
}

QComboBox* makeChoiceBox(QWidget* parent, const QString& objectName, bool editable) {
    auto* box = new QComboBox(parent);
    box->setObjectName(objectName);
    box->setEditable(editable);
    if (editable) box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

} // namespace

Tfmbimeh_daru::Tfmbimeh_daru(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_rules(new RuleTable(ruleColumns(), this)),
      m_drugs(new DrugTable(drugColumns(), this)) {
    setObjectName(QStringLiteral("fmbimeh_daru"));
    setWindowTitle(QStringLiteral("فـــرم رفـتــاربين ســازمــانــهـــاي بــيــمــه گــر ودارو"));
    makeFields();
    makeDrugPanel();
    makeCommands();
    makeLayout();
    resize(1200, 700);
}

void Tfmbimeh_daru::makeFields() {
    bimeh = makeChoiceBox(this, QStringLiteral("bimeh"), true);
    connect(bimeh, &QComboBox::activated, this, [this](int index) { chooseInsurer(index); });

    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_rules);
    setCodeColumns(DBGrid1, {CodeColumn}); // drug codes are whole numbers, not amounts
    me_search2 = makeLineField(this, QStringLiteral("me_search2"));
    m_gridSearch = new QuickSearch(me_search2, m_rules, DBGrid1, CodeColumn, NameColumn, this);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid()) loadRow(m_gridSearch->model()->mapToSource(index).row());
            });
    connect(DBGrid1, &QTableView::clicked, this,
            [this](const QModelIndex& index) { loadRow(m_gridSearch->model()->mapToSource(index).row()); });

    me_name = makeChoiceBox(this, QStringLiteral("me_name"), true);
    connect(me_name, &QComboBox::activated, this, [this](int index) {
        chooseDrug(m_drugs->hasRow(index) ? std::optional(m_drugs->row(index).code) : std::nullopt);
    });
    connect(me_name, &QComboBox::editTextChanged, this,
            [this](const QString& text) { chooseDrug(drugNamed(text)); });
    me_type = makeLineField(this, QStringLiteral("me_type"));
    me_type->setReadOnly(true);
    me_type->setFocusPolicy(Qt::NoFocus);

    rb_tedad = new QRadioButton(QStringLiteral("تعداد"), this);
    rb_tedad->setObjectName(QStringLiteral("rb_tedad"));
    tedad = makeLineField(this, QStringLiteral("tedad"));
    rb_mab = new QRadioButton(QStringLiteral("تعرفه بيمه"), this);
    rb_mab->setObjectName(QStringLiteral("rb_mab"));
    mab = makeLineField(this, QStringLiteral("mab"));
    for (QRadioButton* radio : {rb_tedad, rb_mab}) {
        radio->setAutoExclusive(false); // neither may be chosen
        connect(radio, &QRadioButton::toggled, this, [this, radio](bool on) {
            if (on) setLimit(radio);
        });
    }
    for (QLineEdit* field : {tedad, mab}) {
        field->setReadOnly(true);
        field->setText(QStringLiteral("0"));
        connect(field, &QLineEdit::textChanged, this, [field](const QString& text) {
            if (!text.isEmpty()) return;
            field->setText(QStringLiteral("0"));
            field->selectAll();
        });
    }

    takh = makeChoiceBox(this, QStringLiteral("takh"), false);
    connect(takh, &QComboBox::activated, this,
            [this](int index) { m_specialty = index >= 0 ? takh->itemData(index).toInt() : 0; });
    bimarestani = new QCheckBox(QStringLiteral("بيمارستاني"), this);
    bimarestani->setObjectName(QStringLiteral("bimarestani"));
    non_bimeh = new QCheckBox(QStringLiteral("غير بيمه اي"), this);
    non_bimeh->setObjectName(QStringLiteral("non_bimeh"));
    connect(non_bimeh, &QCheckBox::toggled, this, [this](bool on) {
        if (on) notCoveredChosen();
    });
    edtDeduct = makeLineField(this, QStringLiteral("edtDeduct"));
    edtDeduct->setMaxLength(3);
    edtDeduct->setText(QStringLiteral("0"));

    CheckListBox1 = new QListWidget(this);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
}

// The drug panel that PageDown in the drug field opens.
void Tfmbimeh_daru::makeDrugPanel() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    DBGrid2 = makeListGrid(Panel1, QStringLiteral("DBGrid2"), m_drugs);
    setCodeColumns(DBGrid2, {0});
    me_search = makeLineField(Panel1, QStringLiteral("me_search"));
    new QuickSearch(me_search, m_drugs, DBGrid2, 0, 1, this);
    connect(DBGrid2, &QTableView::doubleClicked, this, &Tfmbimeh_daru::takeDrugFromPanel);
    auto* takeButton = new QPushButton(QStringLiteral("تاييد Ctrl+F2"), Panel1);
    takeButton->setObjectName(QStringLiteral("but_taeed"));
    auto* cancelButton = new QPushButton(QStringLiteral("انصراف Ctrl+F9"), Panel1);
    cancelButton->setObjectName(QStringLiteral("but_enseraf1"));
    connect(takeButton, &QPushButton::clicked, this, &Tfmbimeh_daru::takeDrugFromPanel);
    connect(cancelButton, &QPushButton::clicked, this, &Tfmbimeh_daru::closeDrugPanel);

    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->addWidget(DBGrid2, 1);
    auto* panelSearch = new QFormLayout;
    panelSearch->addRow(QStringLiteral("جستجوي سريع براساس كد /نام"), me_search);
    panelLayout->addLayout(panelSearch);
    auto* panelButtons = new QHBoxLayout;
    panelButtons->addWidget(takeButton);
    panelButtons->addWidget(cancelButton);
    panelLayout->addLayout(panelButtons);
    Panel1->hide();
}

void Tfmbimeh_daru::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::Save | CommandBar::Edit | CommandBar::Delete | CommandBar::Sort |
                               CommandBar::Close,
                           this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("اضافه F2"));
    m_bar->button(CommandBar::Edit)->setText(QStringLiteral("ويرايش F3"));
    m_bar->button(CommandBar::Delete)->setText(QStringLiteral("حذفF4"));
    m_bar->button(CommandBar::Sort)->setText(QStringLiteral("مرتب سازي Ctrl+S"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروج F10"));
    m_bar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)});
    m_bar->setHandler(CommandBar::Save, [this] { addRules(); });
    m_bar->setHandler(CommandBar::Edit, [this] { editRule(); });
    m_bar->setHandler(CommandBar::Delete, [this] { deleteRules(); });
    m_bar->setHandler(CommandBar::Close, [this] {
        resetRuleFields(true);
        reject();
    });

    auto* sortMenu = new QMenu(this);
    sortMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const struct {
        QString caption;
        Qt::Key key;
        QList<int> columns;
    } orders[] = {
        {QStringLiteral("براساس كد دارو"), Qt::Key_A, {CodeColumn}},
        {QStringLiteral("براساس شكل دارو"), Qt::Key_B, {FormColumn, NameColumn}},
        {QStringLiteral("براساس نام دارو"), Qt::Key_C, {NameColumn, FormColumn}},
        {QStringLiteral("مرتب سازي براساس تعداد"), Qt::Key_D, {QuantityColumn, NameColumn, FormColumn}},
        {QStringLiteral("مرتب سازي براساس مبلغ"), Qt::Key_E, {TariffColumn, NameColumn, FormColumn}},
        {QStringLiteral("مرتب سازي براساس نوع تخصص"), Qt::Key_F, {SpecialtyColumn, NameColumn, FormColumn}},
    };
    for (const auto& order : orders) {
        QAction* action = sortMenu->addAction(order.caption);
        action->setShortcut(QKeySequence(Qt::CTRL | order.key));
        action->setShortcutContext(Qt::WindowShortcut);
        const QList<int> columns = order.columns;
        connect(action, &QAction::triggered, this, [this, columns] { sortGrid(columns); });
        addAction(action);
    }
    m_bar->setHandler(CommandBar::Sort, [this, sortMenu] {
        QPushButton* button = m_bar->button(CommandBar::Sort);
        sortMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });

    // Enter: bimeh -> me_name -> "تعداد" -> tedad; "تعرفه بيمه" -> mab (eventFilter).
    // The insurers a new rule is written for come after the limit: Enter from the quantity or
    // the tariff reaches the check list, where Space checks an insurer.
    m_nav = new KeyNav({bimeh, me_name, rb_tedad, tedad, CheckListBox1}, this);
    m_nav->setUpMoves(CheckListBox1, false); // Up walks the insurers
    setTabOrder(tedad, mab);
    setTabOrder(mab, CheckListBox1);
    m_nav->setEnterHandler(rb_tedad, [this] {
        rb_tedad->setChecked(true);
        return true;
    });
    for (QWidget* watched : std::initializer_list<QWidget*>{bimeh, me_name, DBGrid1, me_search2, rb_mab, mab,
                                                            non_bimeh, me_search, DBGrid2})
        watched->installEventFilter(this);
}

void Tfmbimeh_daru::makeLayout() {
    auto* limitBox = new QGroupBox(QStringLiteral("محدوديت دارو براساس"), this);
    auto* limitLayout = new QFormLayout(limitBox);
    limitLayout->addRow(rb_tedad, tedad);
    limitLayout->addRow(rb_mab, mab);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("نام بيمه : "), bimeh);
    fields->addRow(QStringLiteral("نام دارو: "), me_name);
    fields->addRow(QStringLiteral("شكل دارو  : "), me_type);
    fields->addRow(limitBox);
    fields->addRow(QStringLiteral("تخصص: "), takh);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(bimarestani);
    boxes->addWidget(non_bimeh);
    fields->addRow(boxes);
    fields->addRow(QStringLiteral("فرانشيزبيمه:"), edtDeduct);
    auto* top = new QHBoxLayout;
    top->addLayout(fields, 2);
    top->addWidget(CheckListBox1, 1);
    auto* search = new QFormLayout;
    search->addRow(QStringLiteral(" جستجوي سريع براساس نام / کد:"), me_search2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    // The drug panel opens beside the rule grid, which keeps its rows.
    auto* grids = new QHBoxLayout;
    grids->addWidget(DBGrid1, 3);
    grids->addWidget(Panel1, 2);
    layout->addLayout(grids, 1);
    layout->addLayout(search);
    layout->addWidget(m_bar);
}

// The grids' rows go before the widgets: no signal may reach them while the window is taken apart.
Tfmbimeh_daru::~Tfmbimeh_daru() {
    DBGrid1->selectionModel()->disconnect(this);
    me_name->disconnect(this);
}

void Tfmbimeh_daru::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Panel1->hide();
    m_insurer.reset(); // the grid opens on no insurer
    guarded(m_windows.prompter, [this] {
        loadLists();
        reloadGrid();
    });
    bimeh->setFocus();
}

void Tfmbimeh_daru::loadLists() {
    QList<Insurer> insurers = InsurerStore(m_windows.db).all();
    CheckListBox1->clear();
    for (const Insurer& insurer : std::as_const(insurers)) {
        auto* item = new QListWidgetItem(insurer.name.trimmed(), CheckListBox1);
        item->setData(Qt::UserRole, insurer.code);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    if (CheckListBox1->count() > 0) CheckListBox1->setCurrentRow(0); // Space checks from the first
    QCollator collator{QLocale(QLocale::Persian, QLocale::Iran)};
    std::stable_sort(insurers.begin(), insurers.end(), [&collator](const Insurer& a, const Insurer& b) {
        return collator.compare(a.name.trimmed(), b.name.trimmed()) < 0;
    });
    bimeh->clear();
    for (const Insurer& insurer : std::as_const(insurers))
        bimeh->addItem(insurer.name.trimmed(), insurer.code);
    bimeh->setCurrentIndex(-1);

    takh->clear();
    for (const auto& [code, name] : DoctorStore(m_windows.db).specialties())
        takh->addItem(name, code);
    takh->setCurrentIndex(-1);

    m_drugs->setRows(DrugRuleStore(m_windows.db).drugChoices());
    {
        // Filling the drug names is not typing one.
        const QSignalBlocker quiet(me_name);
        me_name->clear();
        for (const DrugChoice& drug : m_drugs->rows())
            me_name->addItem(drug.name);
        me_name->setCurrentIndex(-1);
    }
    resetRuleFields(true);
}

void Tfmbimeh_daru::reloadGrid() {
    m_rules->setRows(DrugRuleStore(m_windows.db).rulesOf(m_insurer.value_or(0)));
    DBGrid1->setCurrentIndex({});
}

void Tfmbimeh_daru::loadRow(int sourceRow) {
    if (!m_rules->hasRow(sourceRow)) return;
    const DrugRuleRow& row = m_rules->row(sourceRow);
    const DrugRuleEntry& rule = row.rule;
    {
        const QSignalBlocker quiet(me_name);
        me_name->setEditText(row.drugName);
    }
    chooseDrug(rule.drug);
    rb_tedad->setChecked(false);
    rb_mab->setChecked(false);
    setLimit(nullptr);
    if (rule.limitKind == 1 && rule.quantity > 0) {
        rb_tedad->setChecked(true);
        tedad->setText(plainDecimalText(rule.quantity));
    } else if (rule.limitKind == 2 && rule.tariff > 0) {
        rb_mab->setChecked(true);
        mab->setText(plainDecimalText(rule.tariff));
    }
    if (rule.specialty > 0) {
        takh->setCurrentIndex(takh->findData(rule.specialty));
        m_specialty = rule.specialty;
    } else {
        clearSpecialty();
    }
    bimarestani->setChecked(rule.hospitalOnly);
    {
        // Showing a stored rule is not choosing "not covered" (which clears the limits).
        const QSignalBlocker quiet(non_bimeh);
        non_bimeh->setChecked(rule.notCovered);
    }
    edtDeduct->setText(rule.deduct != 0 ? plainDecimalText(rule.deduct) : QStringLiteral("0"));
}

void Tfmbimeh_daru::chooseInsurer(int index) {
    if (index >= 0)
        m_insurer = bimeh->itemData(index).toInt();
    else
        m_insurer.reset();
    guarded(m_windows.prompter, [this] { reloadGrid(); });
}

std::optional<double> Tfmbimeh_daru::drugNamed(const QString& name) const {
    if (name.isEmpty()) return std::nullopt;
    const int index = me_name->findText(name, Qt::MatchExactly);
    if (!m_drugs->hasRow(index)) return std::nullopt;
    return m_drugs->row(index).code;
}

void Tfmbimeh_daru::chooseDrug(std::optional<double> code) {
    m_drug = code;
    me_type->clear();
    if (!code) return;
    for (const DrugChoice& drug : m_drugs->rows())
        if (drug.code == *code) {
            me_type->setText(drug.formName);
            break;
        }
}

void Tfmbimeh_daru::setLimit(QRadioButton* chosen) {
    const bool byQuantity = chosen == rb_tedad;
    const bool byTariff = chosen == rb_mab;
    if (chosen) (byQuantity ? rb_mab : rb_tedad)->setChecked(false);
    tedad->setReadOnly(!byQuantity);
    mab->setReadOnly(!byTariff);
    if (!byQuantity) tedad->setText(QStringLiteral("0"));
    if (!byTariff) mab->setText(QStringLiteral("0"));
}

void Tfmbimeh_daru::notCoveredChosen() {
    tedad->setText(QStringLiteral("0"));
    mab->setText(QStringLiteral("0"));
    clearSpecialty();
}

void Tfmbimeh_daru::clearSpecialty() {
    takh->setCurrentIndex(-1);
    m_specialty = 0;
}

void Tfmbimeh_daru::resetRuleFields(bool all) {
    {
        const QSignalBlocker quiet(me_name);
        me_name->setCurrentIndex(-1);
        me_name->setEditText(QString());
    }
    chooseDrug(std::nullopt);
    rb_tedad->setChecked(false);
    rb_mab->setChecked(false);
    setLimit(nullptr);
    clearSpecialty();
    if (!all) return;
    bimarestani->setChecked(false);
    const QSignalBlocker quiet(non_bimeh);
    non_bimeh->setChecked(false);
    edtDeduct->setText(QStringLiteral("0"));
}

QList<int> Tfmbimeh_daru::checkedInsurers() const {
    QList<int> codes;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked)
            codes.append(CheckListBox1->item(i)->data(Qt::UserRole).toInt());
    return codes;
}

DrugRuleEntry Tfmbimeh_daru::ruleFromFields(int limitKind) const {
    DrugRuleEntry rule;
    rule.drug = m_drug.value_or(0);
    rule.limitKind = limitKind;
    rule.quantity = amountFromText(tedad->text());
    rule.tariff = amountFromText(mab->text());
    rule.specialty = takh->currentIndex() >= 0 ? m_specialty : 0;
    rule.hospitalOnly = bimarestani->isChecked();
    rule.notCovered = non_bimeh->isChecked();
    const QString deduct = edtDeduct->text().trimmed();
    rule.deduct = deduct.isEmpty() || deduct == QLatin1String("0") ? 0 : amountFromText(deduct);
    return rule;
}

void Tfmbimeh_daru::addRules() {
    // A name that is not in the drug list chooses no drug.
    if (!m_drug) return;
    const bool added = guarded(m_windows.prompter, [this] {
        const int kind = limitKindForNew(rb_tedad->isChecked(), tedad->text(),
                                         rb_mab->isChecked(), mab->text());
        DrugRuleStore(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tfmbimeh_daru"))).addForInsurers(checkedInsurers(), ruleFromFields(kind));
        reloadGrid();
    });
    if (!added) return;
    resetRuleFields(true);
    me_name->setFocus();
}

void Tfmbimeh_daru::editRule() {
    Prompter& prompter = m_windows.prompter;
    if (!m_insurer) return prompter.information(QStringLiteral("نام بيمه را انتخاب نماييد"));
    if (!prompter.askYesNo(QStringLiteral("آيا از ويرايش اطلاعات مطمئن هستيد؟"))) return;
    const bool edited = guarded(prompter, [this] {
        if (m_drug) {
            DrugRuleEntry rule =
                ruleFromFields(limitKindForEdit(rb_tedad->isChecked(), rb_mab->isChecked()));
            rule.insurer = *m_insurer;
            DrugRuleStore(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tfmbimeh_daru"))).update(rule); // a pair without a rule is not created here
        }
        reloadGrid();
    });
    if (!edited) return;
    resetRuleFields(false);
    me_name->setFocus();
}

void Tfmbimeh_daru::deleteRules() {
    const int row = currentSourceRow(DBGrid1);
    if (!m_rules->hasRow(row)) return;
    const double drug = m_rules->row(row).rule.drug; // the row current when the command was chosen
    if (!m_windows.prompter.askYesNo(QStringLiteral("آيا از حذف اطلاعات مطمئن هستيد؟"))) return;
    guarded(m_windows.prompter, [&] {
        DrugRuleStore(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tfmbimeh_daru"))).removeForInsurers(drug, checkedInsurers());
        reloadGrid();
    });
}

void Tfmbimeh_daru::openDrugPanel() {
    me_search->clear();
    Panel1->show();
    if (m_drugs->rowCount() > 0 && !DBGrid2->currentIndex().isValid())
        DBGrid2->setCurrentIndex(DBGrid2->model()->index(0, 0));
    me_search->setFocus();
}

void Tfmbimeh_daru::takeDrugFromPanel() {
    const int row = currentSourceRow(DBGrid2);
    if (!m_drugs->hasRow(row)) return;
    const DrugChoice drug = m_drugs->row(row);
    {
        const QSignalBlocker quiet(me_name);
        me_name->setCurrentIndex(row);
    }
    chooseDrug(drug.code);
    Panel1->hide();
    rb_tedad->setFocus();
}

void Tfmbimeh_daru::closeDrugPanel() {
    Panel1->hide();
    me_name->setFocus();
}

void Tfmbimeh_daru::sortGrid(const QList<int>& columns) {
    if (m_rules->rowCount() > 0) m_gridSearch->model()->sortByColumns(columns);
}

void Tfmbimeh_daru::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (Panel1->isVisible()) {
        if (mods == Qt::ControlModifier && event->key() == Qt::Key_F2) return takeDrugFromPanel();
        if ((mods == Qt::ControlModifier && event->key() == Qt::Key_F9) || event->key() == Qt::Key_Escape)
            return closeDrugPanel();
    }
    if (event->key() == Qt::Key_Escape) return event->accept(); // the window closes with F10
    QDialog::keyPressEvent(event);
}

bool Tfmbimeh_daru::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && watched == bimeh) {
        // Leaving the insurer field makes the typed insurer current, without reloading the grid.
        const int index = bimeh->findText(bimeh->currentText().trimmed(), Qt::MatchExactly);
        if (index >= 0)
            m_insurer = bimeh->itemData(index).toInt();
        else
            m_insurer.reset();
        return false;
    }
    if (event->type() == QEvent::FocusIn && watched == non_bimeh) {
        if (non_bimeh->isChecked()) notCoveredChosen();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool leftOrRight = isPlainKey(key, Qt::Key_Left) || isPlainKey(key, Qt::Key_Right);
    if (watched == me_name && isPlainKey(key, Qt::Key_PageDown)) {
        openDrugPanel();
        return true;
    }
    if (watched == me_name && leftOrRight) {
        bimeh->setFocus();
        return true;
    }
    if (watched == bimeh && leftOrRight) {
        DBGrid1->setFocus();
        return true;
    }
    if (watched == DBGrid1 && isPlainKey(key, Qt::Key_Tab)) {
        me_search2->setFocus();
        return true;
    }
    if (watched == me_search2 && (isPlainKey(key, Qt::Key_Up) || isPlainKey(key, Qt::Key_Down))) {
        (key->key() == Qt::Key_Up ? static_cast<QWidget*>(non_bimeh) : DBGrid1)->setFocus();
        return true;
    }
    if (watched == rb_mab && (isEnter(key) && isPlain(key))) {
        rb_mab->setChecked(true);
        mab->setFocus();
        return true;
    }
    if (watched == mab && (isEnter(key) && isPlain(key))) {
        CheckListBox1->setFocus();
        return true;
    }
    if ((watched == me_search || watched == DBGrid2) && (isEnter(key) && isPlain(key))) {
        takeDrugFromPanel();
        return true;
    }
    return false;
}

} // namespace ph
