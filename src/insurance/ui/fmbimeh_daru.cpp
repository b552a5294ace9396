#include "insurance/ui/fmbimeh_daru.h"

#include "core/prompter.h"
#include "insurance/amount_text.h"
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
#include <QStandardItemModel>
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

QString codeText(double code) {
    return QString::number(code, 'f', 0);
}

QStandardItem* numberItem(double value) {
    auto* item = new QStandardItem;
    item->setData(value, Qt::DisplayRole);
    return item;
}

QStandardItem* flagItem(bool on) {
    auto* item = new QStandardItem;
    item->setData(on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    return item;
}


} // namespace

Tfmbimeh_daru::Tfmbimeh_daru(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("fmbimeh_daru"));
    setWindowTitle(QStringLiteral("فـــرم رفـتــاربين ســازمــانــهـــاي بــيــمــه گــر ودارو"));

    m_bimeh = new QComboBox(this);
    m_bimeh->setObjectName(QStringLiteral("bimeh"));
    m_bimeh->setEditable(true);
    m_bimeh->setInsertPolicy(QComboBox::NoInsert);
    connect(m_bimeh, &QComboBox::activated, this, [this](int index) { chooseInsurer(index); });

    m_model = new QStandardItemModel(this);
    m_grid = makeListGrid(this, QStringLiteral("DBGrid1"), m_model);
    m_search2 = makeLineField(this, QStringLiteral("me_search2"));
    m_gridSearch = new QuickSearch(m_search2, m_model, m_grid, CodeColumn, NameColumn, this);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid()) loadRow(m_gridSearch->model()->mapToSource(index).row());
            });
    connect(m_grid, &QTableView::clicked, this,
            [this](const QModelIndex& index) { loadRow(m_gridSearch->model()->mapToSource(index).row()); });

    m_drug = new QComboBox(this);
    m_drug->setObjectName(QStringLiteral("me_name"));
    m_drug->setEditable(true);
    m_drug->setInsertPolicy(QComboBox::NoInsert);
    connect(m_drug, &QComboBox::activated, this, [this](int index) {
        chooseDrug(index >= 0 && index < m_drugs.size() ? codeText(m_drugs.at(index).code)
                                                        : QStringLiteral("-1"));
    });
    connect(m_drug, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (m_loading) return;
        const int index = m_drug->findText(text, Qt::MatchExactly);
        chooseDrug(text.isEmpty() ? QString()
                   : index >= 0   ? codeText(m_drugs.at(index).code)
                                  : QStringLiteral("-1"));
    });
    m_form = makeLineField(this, QStringLiteral("me_type"));
    m_form->setReadOnly(true);
    m_form->setFocusPolicy(Qt::NoFocus);

    m_byQuantity = new QRadioButton(QStringLiteral("تعداد"), this);
    m_byQuantity->setObjectName(QStringLiteral("rb_tedad"));
    m_quantity = makeLineField(this, QStringLiteral("tedad"));
    m_byTariff = new QRadioButton(QStringLiteral("تعرفه بيمه"), this);
    m_byTariff->setObjectName(QStringLiteral("rb_mab"));
    m_tariff = makeLineField(this, QStringLiteral("mab"));
    for (QRadioButton* radio : {m_byQuantity, m_byTariff}) {
        radio->setAutoExclusive(false); // neither may be chosen
        connect(radio, &QRadioButton::toggled, this, [this, radio](bool on) {
            if (on) setLimit(radio);
        });
    }
    for (QLineEdit* field : {m_quantity, m_tariff}) {
        field->setReadOnly(true);
        field->setText(QStringLiteral("0"));
        connect(field, &QLineEdit::textChanged, this, [field](const QString& text) {
            if (!text.isEmpty()) return;
            field->setText(QStringLiteral("0"));
            field->selectAll();
        });
    }
    auto* limitBox = new QGroupBox(QStringLiteral("محدوديت دارو براساس"), this);
    auto* limitLayout = new QFormLayout(limitBox);
    limitLayout->addRow(m_byQuantity, m_quantity);
    limitLayout->addRow(m_byTariff, m_tariff);

    m_takh = new QComboBox(this);
    m_takh->setObjectName(QStringLiteral("takh"));
    connect(m_takh, &QComboBox::activated, this,
            [this](int index) { m_specialty = index >= 0 ? m_takh->itemData(index).toInt() : 0; });
    m_hospital = new QCheckBox(QStringLiteral("بيمارستاني"), this);
    m_hospital->setObjectName(QStringLiteral("bimarestani"));
    m_notCovered = new QCheckBox(QStringLiteral("غير بيمه اي"), this);
    m_notCovered->setObjectName(QStringLiteral("non_bimeh"));
    connect(m_notCovered, &QCheckBox::toggled, this, [this](bool on) {
        if (on && !m_loading) notCoveredChosen();
    });
    m_deduct = makeLineField(this, QStringLiteral("edtDeduct"));
    m_deduct->setMaxLength(3);
    m_deduct->setText(QStringLiteral("0"));

    m_insurerList = new QListWidget(this);
    m_insurerList->setObjectName(QStringLiteral("CheckListBox1"));

    // The drug panel that PageDown in the drug field opens.
    m_drugPanel = new QFrame(this);
    m_drugPanel->setObjectName(QStringLiteral("Panel1"));
    m_drugPanel->setFrameShape(QFrame::StyledPanel);
    m_drugModel = new QStandardItemModel(this);
    m_drugGrid = makeListGrid(m_drugPanel, QStringLiteral("DBGrid2"), m_drugModel);
    m_drugSearch = makeLineField(m_drugPanel, QStringLiteral("me_search"));
    new QuickSearch(m_drugSearch, m_drugModel, m_drugGrid, 0, 1, this);
    connect(m_drugGrid, &QTableView::doubleClicked, this, &Tfmbimeh_daru::takeDrugFromPanel);
    auto* takeButton = new QPushButton(QStringLiteral("تاييد Ctrl+F2"), m_drugPanel);
    takeButton->setObjectName(QStringLiteral("but_taeed"));
    auto* cancelButton = new QPushButton(QStringLiteral("انصراف Ctrl+F9"), m_drugPanel);
    cancelButton->setObjectName(QStringLiteral("but_enseraf1"));
    connect(takeButton, &QPushButton::clicked, this, &Tfmbimeh_daru::takeDrugFromPanel);
    connect(cancelButton, &QPushButton::clicked, this, &Tfmbimeh_daru::closeDrugPanel);
    auto* panelLayout = new QVBoxLayout(m_drugPanel);
    panelLayout->addWidget(m_drugGrid, 1);
    auto* panelSearch = new QFormLayout;
    panelSearch->addRow(QStringLiteral("جستجوي سريع براساس كد /نام"), m_drugSearch);
    panelLayout->addLayout(panelSearch);
    auto* panelButtons = new QHBoxLayout;
    panelButtons->addWidget(takeButton);
    panelButtons->addWidget(cancelButton);
    panelLayout->addLayout(panelButtons);
    m_drugPanel->hide();

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
    m_nav = new KeyNav({m_bimeh, m_drug, m_byQuantity, m_quantity}, this);
    m_nav->setEnterHandler(m_byQuantity, [this] {
        m_byQuantity->setChecked(true);
        return true;
    });
    for (QWidget* watched : std::initializer_list<QWidget*>{m_bimeh, m_drug, m_grid, m_search2, m_byTariff,
                                                            m_notCovered, m_drugSearch, m_drugGrid})
        watched->installEventFilter(this);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("نام بيمه : "), m_bimeh);
    fields->addRow(QStringLiteral("نام دارو: "), m_drug);
    fields->addRow(QStringLiteral("شكل دارو  : "), m_form);
    fields->addRow(limitBox);
    fields->addRow(QStringLiteral("تخصص: "), m_takh);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_hospital);
    boxes->addWidget(m_notCovered);
    fields->addRow(boxes);
    fields->addRow(QStringLiteral("فرانشيزبيمه:"), m_deduct);
    auto* top = new QHBoxLayout;
    top->addLayout(fields, 2);
    top->addWidget(m_insurerList, 1);
    auto* search = new QFormLayout;
    search->addRow(QStringLiteral(" جستجوي سريع براساس نام / کد:"), m_search2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_drugPanel);
    layout->addWidget(m_grid, 1);
    layout->addLayout(search);
    layout->addWidget(m_bar);
}

// The grids' rows go before the widgets: no signal may reach them while the window is taken apart.
Tfmbimeh_daru::~Tfmbimeh_daru() {
    m_grid->selectionModel()->disconnect(this);
    m_drug->disconnect(this);
}

void Tfmbimeh_daru::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_drugPanel->hide();
    m_insurer.reset(); // the grid opens on no insurer
    guarded(m_windows.prompter, [this] {
        loadLists();
        reloadGrid();
    });
    m_bimeh->setFocus();
}

void Tfmbimeh_daru::loadLists() {
    QList<Insurer> insurers = InsurerStore(m_windows.db).all();
    m_insurerList->clear();
    for (const Insurer& insurer : std::as_const(insurers)) {
        auto* item = new QListWidgetItem(insurer.name.trimmed(), m_insurerList);
        item->setData(Qt::UserRole, insurer.code);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    QCollator collator{QLocale(QLocale::Persian, QLocale::Iran)};
    std::stable_sort(insurers.begin(), insurers.end(), [&collator](const Insurer& a, const Insurer& b) {
        return collator.compare(a.name.trimmed(), b.name.trimmed()) < 0;
    });
    m_bimeh->clear();
    for (const Insurer& insurer : std::as_const(insurers))
        m_bimeh->addItem(insurer.name.trimmed(), insurer.code);
    m_bimeh->setCurrentIndex(-1);

    m_takh->clear();
    for (const auto& [code, name] : DoctorStore(m_windows.db).specialties())
        m_takh->addItem(name, code);
    m_takh->setCurrentIndex(-1);

    m_loading = true;
    m_drugs = DrugRuleStore(m_windows.db).drugChoices();
    m_drug->clear();
    m_drugModel->clear();
    m_drugModel->setHorizontalHeaderLabels(
        {QStringLiteral("كــــد"), QStringLiteral("نـــام"), QStringLiteral("شكل دارو")});
    for (const DrugChoice& drug : std::as_const(m_drugs)) {
        m_drug->addItem(drug.name);
        m_drugModel->appendRow(
            {numberItem(drug.code), new QStandardItem(drug.name), new QStandardItem(drug.formName)});
    }
    m_drug->setCurrentIndex(-1);
    m_loading = false;
    resetRuleFields(true);
}

void Tfmbimeh_daru::reloadGrid() {
    m_rules = DrugRuleStore(m_windows.db).rulesOf(m_insurer.value_or(0));
    m_loading = true; // rebuilding the rows is not moving in the grid
    m_model->removeRows(0, m_model->rowCount());
    m_model->setHorizontalHeaderLabels({QStringLiteral("شكل دارو"), QStringLiteral("كد دارو"),
                                        QStringLiteral("نام دارو"), QStringLiteral("تعداد"),
                                        QStringLiteral("مبلغ"), QStringLiteral("تخصص"),
                                        QStringLiteral("بيمارستاني"), QStringLiteral("غيربيمه اي")});
    for (const DrugRuleRow& row : std::as_const(m_rules))
        m_model->appendRow({new QStandardItem(row.formName), numberItem(row.rule.drug),
                            new QStandardItem(row.drugName), numberItem(row.rule.quantity),
                            numberItem(row.rule.tariff), new QStandardItem(row.specialtyName),
                            flagItem(row.rule.hospitalOnly), flagItem(row.rule.notCovered)});
    m_grid->setCurrentIndex({});
    m_loading = false;
}

void Tfmbimeh_daru::loadRow(int sourceRow) {
    if (m_loading || sourceRow < 0 || sourceRow >= m_rules.size()) return;
    const DrugRuleRow& row = m_rules.at(sourceRow);
    const DrugRuleEntry& rule = row.rule;
    m_loading = true;
    m_drug->setEditText(row.drugName);
    m_loading = false;
    chooseDrug(codeText(rule.drug));
    m_loading = true;
    m_byQuantity->setChecked(false);
    m_byTariff->setChecked(false);
    setLimit(nullptr);
    if (rule.limitKind == 1 && rule.quantity > 0) {
        m_byQuantity->setChecked(true);
        m_quantity->setText(amountText(rule.quantity));
    } else if (rule.limitKind == 2 && rule.tariff > 0) {
        m_byTariff->setChecked(true);
        m_tariff->setText(amountText(rule.tariff));
    }
    if (rule.specialty > 0) {
        m_takh->setCurrentIndex(m_takh->findData(rule.specialty));
        m_specialty = rule.specialty;
    } else {
        clearSpecialty();
    }
    m_hospital->setChecked(rule.hospitalOnly);
    m_notCovered->setChecked(rule.notCovered);
    m_deduct->setText(rule.deduct != 0 ? amountText(rule.deduct) : QStringLiteral("0"));
    m_loading = false;
}

void Tfmbimeh_daru::chooseInsurer(int index) {
    if (index >= 0)
        m_insurer = m_bimeh->itemData(index).toInt();
    else
        m_insurer.reset();
    guarded(m_windows.prompter, [this] { reloadGrid(); });
}

void Tfmbimeh_daru::chooseDrug(const QString& code) {
    m_drugCode = code;
    m_form->clear();
    for (const DrugChoice& drug : std::as_const(m_drugs))
        if (codeText(drug.code) == code) {
            m_form->setText(drug.formName);
            break;
        }
}

// "تعداد" opens the quantity and closes the tariff at "0"; "تعرفه بيمه" the other way;
// none closes both.
void Tfmbimeh_daru::setLimit(QRadioButton* chosen) {
    const bool byQuantity = chosen == m_byQuantity;
    const bool byTariff = chosen == m_byTariff;
    if (chosen) (byQuantity ? m_byTariff : m_byQuantity)->setChecked(false);
    m_quantity->setReadOnly(!byQuantity);
    m_tariff->setReadOnly(!byTariff);
    if (!byQuantity) m_quantity->setText(QStringLiteral("0"));
    if (!byTariff) m_tariff->setText(QStringLiteral("0"));
}

void Tfmbimeh_daru::notCoveredChosen() {
    m_quantity->setText(QStringLiteral("0"));
    m_tariff->setText(QStringLiteral("0"));
    clearSpecialty();
}

void Tfmbimeh_daru::clearSpecialty() {
    m_takh->setCurrentIndex(-1);
    m_specialty = 0;
}

void Tfmbimeh_daru::resetRuleFields(bool all) {
    m_loading = true;
    m_drug->setCurrentIndex(-1);
    m_drug->setEditText(QString());
    m_loading = false;
    chooseDrug(QString());
    m_byQuantity->setChecked(false);
    m_byTariff->setChecked(false);
    setLimit(nullptr);
    clearSpecialty();
    if (!all) return;
    m_loading = true;
    m_hospital->setChecked(false);
    m_notCovered->setChecked(false);
    m_loading = false;
    m_deduct->setText(QStringLiteral("0"));
}

QList<int> Tfmbimeh_daru::checkedInsurers() const {
    QList<int> codes;
    for (int i = 0; i < m_insurerList->count(); ++i)
        if (m_insurerList->item(i)->checkState() == Qt::Checked)
            codes.append(m_insurerList->item(i)->data(Qt::UserRole).toInt());
    return codes;
}

DrugRuleEntry Tfmbimeh_daru::ruleFromFields(int limitKind) const {
    DrugRuleEntry rule;
    rule.drug = m_drugCode.toDouble();
    rule.limitKind = limitKind;
    rule.quantity = amountFromText(m_quantity->text());
    rule.tariff = amountFromText(m_tariff->text());
    rule.specialty = m_takh->currentIndex() >= 0 ? m_specialty : 0;
    rule.hospitalOnly = m_hospital->isChecked();
    rule.notCovered = m_notCovered->isChecked();
    const QString deduct = m_deduct->text().trimmed();
    rule.deduct = deduct.isEmpty() || deduct == QLatin1String("0") ? 0 : amountFromText(deduct);
    return rule;
}

void Tfmbimeh_daru::addRules() {
    // A name that is not in the drug list chooses no drug.
    if (m_drugCode.isEmpty() || m_drugCode == QLatin1String("-1")) return;
    const bool added = guarded(m_windows.prompter, [this] {
        const int kind = limitKindForNew(m_byQuantity->isChecked(), m_quantity->text(),
                                         m_byTariff->isChecked(), m_tariff->text());
        DrugRuleStore(m_windows.db).addForInsurers(checkedInsurers(), ruleFromFields(kind));
        reloadGrid();
    });
    if (!added) return;
    resetRuleFields(true);
    m_drug->setFocus();
}

void Tfmbimeh_daru::editRule() {
    Prompter& prompter = m_windows.prompter;
    if (!m_insurer) return prompter.information(QStringLiteral("نام بيمه را انتخاب نماييد"));
    if (!prompter.askYesNo(QStringLiteral("آيا از ويرايش اطلاعات مطمئن هستيد؟"))) return;
    const bool edited = guarded(prompter, [this] {
        if (!m_drugCode.isEmpty() && m_drugCode != QLatin1String("-1")) {
            DrugRuleEntry rule =
                ruleFromFields(limitKindForEdit(m_byQuantity->isChecked(), m_byTariff->isChecked()));
            rule.insurer = *m_insurer;
            DrugRuleStore(m_windows.db).update(rule); // a pair without a rule is not created here
        }
        reloadGrid();
    });
    if (!edited) return;
    resetRuleFields(false);
    m_drug->setFocus();
}

void Tfmbimeh_daru::deleteRules() {
    const int row = currentSourceRow(m_grid);
    if (row < 0 || row >= m_rules.size()) return;
    const double drug = m_rules.at(row).rule.drug; // the row current when the command was chosen
    if (!m_windows.prompter.askYesNo(QStringLiteral("آيا از حذف اطلاعات مطمئن هستيد؟"))) return;
    guarded(m_windows.prompter, [&] {
        DrugRuleStore(m_windows.db).removeForInsurers(drug, checkedInsurers());
        reloadGrid();
    });
}

void Tfmbimeh_daru::openDrugPanel() {
    m_drugSearch->clear();
    m_drugPanel->show();
    if (m_drugModel->rowCount() > 0 && !m_drugGrid->currentIndex().isValid())
        m_drugGrid->setCurrentIndex(m_drugGrid->model()->index(0, 0));
    m_drugSearch->setFocus();
}

void Tfmbimeh_daru::takeDrugFromPanel() {
    const int row = currentSourceRow(m_drugGrid);
    if (row < 0 || row >= m_drugs.size()) return;
    const DrugChoice& drug = m_drugs.at(row);
    m_loading = true;
    m_drug->setCurrentIndex(row);
    m_loading = false;
    chooseDrug(codeText(drug.code));
    m_drugPanel->hide();
    m_byQuantity->setFocus();
}

void Tfmbimeh_daru::closeDrugPanel() {
    m_drugPanel->hide();
    m_drug->setFocus();
}

void Tfmbimeh_daru::sortGrid(const QList<int>& columns) {
    if (m_model->rowCount() > 0) m_gridSearch->model()->sortByColumns(columns);
}

void Tfmbimeh_daru::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    if (m_drugPanel->isVisible()) {
        if (mods == Qt::ControlModifier && event->key() == Qt::Key_F2) return takeDrugFromPanel();
        if ((mods == Qt::ControlModifier && event->key() == Qt::Key_F9) || event->key() == Qt::Key_Escape)
            return closeDrugPanel();
    }
    if (event->key() == Qt::Key_Escape) return event->accept(); // the window closes with F10
    QDialog::keyPressEvent(event);
}

bool Tfmbimeh_daru::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && watched == m_bimeh) {
        // Leaving the insurer field makes the typed insurer current, without reloading the grid.
        const int index = m_bimeh->findText(m_bimeh->currentText().trimmed(), Qt::MatchExactly);
        if (index >= 0)
            m_insurer = m_bimeh->itemData(index).toInt();
        else
            m_insurer.reset();
        return false;
    }
    if (event->type() == QEvent::FocusIn && watched == m_notCovered) {
        if (m_notCovered->isChecked()) notCoveredChosen();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool leftOrRight = isPlainKey(key, Qt::Key_Left) || isPlainKey(key, Qt::Key_Right);
    if (watched == m_drug && isPlainKey(key, Qt::Key_PageDown)) {
        openDrugPanel();
        return true;
    }
    if (watched == m_drug && leftOrRight) {
        m_bimeh->setFocus();
        return true;
    }
    if (watched == m_bimeh && leftOrRight) {
        m_grid->setFocus();
        return true;
    }
    if (watched == m_grid && isPlainKey(key, Qt::Key_Tab)) {
        m_search2->setFocus();
        return true;
    }
    if (watched == m_search2 && (isPlainKey(key, Qt::Key_Up) || isPlainKey(key, Qt::Key_Down))) {
        (key->key() == Qt::Key_Up ? static_cast<QWidget*>(m_notCovered) : m_grid)->setFocus();
        return true;
    }
    if (watched == m_byTariff && (isEnter(key) && isPlain(key))) {
        m_byTariff->setChecked(true);
        m_tariff->setFocus();
        return true;
    }
    if ((watched == m_drugSearch || watched == m_drugGrid) && (isEnter(key) && isPlain(key))) {
        takeDrugFromPanel();
        return true;
    }
    return false;
}

} // namespace ph
