#include "catalogue/ui/hamrah.h"

#include "catalogue/ui/drug_name_box.h"
#include "core/amounts.h"
#include "core/prompter.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kInsured = QStringLiteral("تعرفه");
const QString kFree = QStringLiteral("آزاد");
const QString kIncomplete = QStringLiteral("     .اطلاعات كامل وارد نشده است");
const QString kSameDrug = QStringLiteral("داروي همراه وارد شده با داروي اصلي يكي مي باشد");
const QString kWrongCondition = QStringLiteral("وضعيت دارو اشتباه وارد شده است");
const QString kWrongMainCode = QStringLiteral("كد داروي اصلي اشتباه وارد شده است");
const QString kWrongCompanionCode = QStringLiteral("كد كالاي وارد شده اشتباه مي باشد");
const QString kStoredOnceAskAgain = QStringLiteral("داروي مورد نظر يك بار وارد شده است ، آيا بازهم ثبت شود؟ ");
const QString kConfirmChange = QStringLiteral("آيا از اصلاح اطلاعات مطمئن هستيد؟");
const QString kNothingToDelete = QStringLiteral("دارويي براي حذف وجود ندارد");
const QString kConfirmDelete = QStringLiteral("آيا مايل به حذف هستيد؟ ");
const QString kUnknownName = QStringLiteral("نام دارو تعريف نشده است");

QLineEdit* readOnlyField(QWidget* parent, const QString& name) {
    QLineEdit* field = makeLineField(parent, name);
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

std::optional<double> codeIn(const QLineEdit* field) {
    bool isNumber = false;
    const double code = field->text().trimmed().toDouble(&isNumber);
    return isNumber ? std::optional(code) : std::nullopt;
}

} // namespace

Tf_hamrah::Tf_hamrah(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows),
      m_companions(new RowTableModel<CompanionRow>(
          {
              {QStringLiteral("كــد دارو"), [](const CompanionRow& r) { return QVariant(r.code); }},
              {QStringLiteral("نـــام دارو"), [](const CompanionRow& r) { return QVariant(r.name); }},
              {QStringLiteral("شكل دارو"), [](const CompanionRow& r) { return QVariant(r.formName); }},
              {QStringLiteral("وضعيت "), [](const CompanionRow& r) { return QVariant(r.condition); }},
          },
          this)) {
    setObjectName(QStringLiteral("f_hamrah"));
    setWindowTitle(QStringLiteral("تعــــــــريف داروي همــــــــــــراه"));
    cb_name_d = new DrugNameBox(windows, QStringLiteral("cb_name_d"), this);
    cb_code_d = readOnlyField(this, QStringLiteral("cb_code_d"));
    me_type_d = readOnlyField(this, QStringLiteral("me_type_d"));
    cb_name_h = new DrugNameBox(windows, QStringLiteral("cb_name_h"), this);
    cb_code_h = readOnlyField(this, QStringLiteral("cb_code_h"));
    me_type_h = readOnlyField(this, QStringLiteral("me_type_h"));
    cb_vaziat = new QComboBox(this);
    cb_vaziat->setObjectName(QStringLiteral("cb_vaziat"));
    cb_vaziat->setEditable(true);
    cb_vaziat->setInsertPolicy(QComboBox::NoInsert);
    cb_vaziat->addItems({kInsured, kFree});
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_companions);
    setCodeColumns(DBGrid1, {0});

    connect(cb_name_d, &DrugNameBox::drugChanged, this, [this] { showMain(); });
    connect(cb_name_d, &DrugNameBox::picked, this, [this] { cb_name_h->setFocus(); });
    connect(cb_name_h, &DrugNameBox::drugChanged, this, [this] { showCompanion(); });
    connect(cb_name_h, &DrugNameBox::picked, this, [this] { cb_vaziat->setFocus(); });
    connect(DBGrid1, &QTableView::clicked, this, [this] { loadSelected(); });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { loadSelected(); });
    for (QComboBox* box : {static_cast<QComboBox*>(cb_name_d), static_cast<QComboBox*>(cb_name_h), cb_vaziat}) {
        box->installEventFilter(this);
        box->lineEdit()->installEventFilter(this);
    }

    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::New | CommandBar::Save | CommandBar::Edit | CommandBar::Delete |
                               CommandBar::DeleteDocument | CommandBar::Close,
                           this);
    m_bar->nameButtons({
        {CommandBar::New, "but_new", u"جديدF1"},
        {CommandBar::Save, "ToolButton2", u"اضافه F2"},
        {CommandBar::Edit, "but_eslah", u"ويرايش F3"},
        {CommandBar::Delete, "but_delete", u"حذف داروي اصليF4"},
        {CommandBar::DeleteDocument, "ToolButton1", u"حذف داروي همراهCtrl+F4"},
        {CommandBar::Close, "but_close", u"خروج F10"},
    });
    // The add button names F2 but has no key: Enter in the status adds.
    m_bar->setKeys(CommandBar::Save, {});
    m_bar->setRight(CommandBar::Save, {});
    m_bar->setKeys(CommandBar::New, {QKeySequence(Qt::Key_F1)});
    m_bar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)});
    m_bar->setHandler(CommandBar::New, [this] { clearAll(); });
    m_bar->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { addCompanion(); }); });
    m_bar->setHandler(CommandBar::Edit, [this] { guarded(m_windows.prompter, [this] { editCondition(); }); });
    m_bar->setHandler(CommandBar::Delete, [this] { guarded(m_windows.prompter, [this] { removeAll(); }); });
    m_bar->setHandler(CommandBar::DeleteDocument, [this] { guarded(m_windows.prompter, [this] { removeOne(); }); });
    m_bar->setHandler(CommandBar::Close, [this] {
        clearAll();
        reject();
    });

    auto* mainBox = new QGroupBox(this);
    auto* mainFields = new QFormLayout(mainBox);
    mainFields->addRow(QStringLiteral("نام دارو: "), cb_name_d);
    mainFields->addRow(QStringLiteral("كـــد دارو: "), cb_code_d);
    mainFields->addRow(QStringLiteral("شــكل دارو: "), me_type_d);
    auto* companionBox = new QGroupBox(this);
    auto* companionFields = new QFormLayout(companionBox);
    companionFields->addRow(QStringLiteral("نام داروي همراه: "), cb_name_h);
    companionFields->addRow(QStringLiteral("كد داروي همراه: "), cb_code_h);
    companionFields->addRow(QStringLiteral("شكل داروي همراه: "), me_type_h);
    companionFields->addRow(QStringLiteral("وضـــعيت دارو: "), cb_vaziat);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(mainBox);
    boxes->addWidget(companionBox);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addLayout(boxes);
    layout->addWidget(new QLabel(QStringLiteral("نمايش ليست داروها: ") + QStringLiteral("Page Down"), this));
    layout->addWidget(DBGrid1, 1);
    resize(820, 560);
}

void Tf_hamrah::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    guarded(m_windows.prompter, [this] {
        const QList<GoodsChoice> choices = goodsChoices(m_windows.db);
        cb_name_d->setChoices(choices);
        cb_name_h->setChoices(choices);
    });
    clearAll();
}

void Tf_hamrah::clearAll() {
    cb_name_d->setDrug(std::nullopt);
    clearCompanion();
    cb_vaziat->setCurrentText(kInsured);
    m_bar->setEnabled(CommandBar::Edit, false);
    m_companions->setRows({});
    cb_name_d->setFocus();
}

void Tf_hamrah::showMain() {
    const std::optional<GoodsChoice> drug = cb_name_d->drug();
    cb_code_d->setText(drug ? plainDecimalText(drug->code) : QString());
    me_type_d->setText(drug ? drug->formName : QString());
    guarded(m_windows.prompter, [this] { reloadGrid(); });
}

void Tf_hamrah::showCompanion() {
    const std::optional<GoodsChoice> drug = cb_name_h->drug();
    cb_code_h->setText(drug ? plainDecimalText(drug->code) : QString());
    me_type_h->setText(drug ? drug->formName : QString());
}

void Tf_hamrah::clearCompanion() {
    cb_name_h->setDrug(std::nullopt);
    showCompanion();
}

void Tf_hamrah::reloadGrid() {
    const std::optional<double> main = codeIn(cb_code_d);
    m_companions->setRows(main ? CompanionStore(m_windows.db).companionsOf(*main) : QList<CompanionRow>{});
}

void Tf_hamrah::loadSelected() {
    const int row = currentSourceRow(DBGrid1);
    if (!m_companions->hasRow(row)) return;
    m_bar->setEnabled(CommandBar::Edit, true);
    const CompanionRow& companion = m_companions->row(row);
    cb_name_h->setDrug(companion.code);
    cb_vaziat->setCurrentText(companion.condition);
}

void Tf_hamrah::notice(const QString& text) {
    confirmNotice(m_windows.prompter, text);
}

bool Tf_hamrah::ask(const QString& question) {
    return confirmQuestion(m_windows.prompter, question);
}

bool Tf_hamrah::checkEntry() {
    if (cb_name_d->currentText().trimmed().isEmpty() || cb_name_h->currentText().trimmed().isEmpty()) {
        notice(kIncomplete);
        cb_name_h->setFocus();
        return false;
    }
    const std::optional<double> main = codeIn(cb_code_d);
    const std::optional<double> companion = codeIn(cb_code_h);
    if (main && main == companion) {
        notice(kSameDrug);
        clearCompanion();
        cb_vaziat->setCurrentText(QString());
        cb_name_h->setFocus();
        return false;
    }
    const QString condition = cb_vaziat->currentText().trimmed();
    if (condition != kFree && condition != kInsured) {
        notice(kWrongCondition);
        cb_vaziat->setFocus();
        return false;
    }
    CompanionStore store(m_windows.db);
    if (!main || !store.isGoods(*main)) {
        notice(kWrongMainCode);
        return false;
    }
    if (!companion || !store.isGoods(*companion)) {
        notice(kWrongCompanionCode);
        cb_name_d->setFocus();
        return false;
    }
    return true;
}

void Tf_hamrah::addCompanion() {
    m_bar->setEnabled(CommandBar::Edit, false);
    if (!checkEntry()) return;
    const double main = *codeIn(cb_code_d);
    const double companion = *codeIn(cb_code_h);
    const QString condition = cb_vaziat->currentText().trimmed();
    CompanionStore store(m_windows.db);
    if (store.exists(main, companion, condition) && !ask(kStoredOnceAskAgain)) return;
    store.add(main, companion, condition);
    clearCompanion();
    cb_vaziat->setCurrentText(kInsured);
    reloadGrid();
    cb_name_h->setFocus();
}

void Tf_hamrah::editCondition() {
    if (!checkEntry()) return;
    const double main = *codeIn(cb_code_d);
    const double companion = *codeIn(cb_code_h);
    CompanionStore store(m_windows.db);
    if (!store.exists(main, companion)) {
        m_bar->setEnabled(CommandBar::Edit, false);
        return;
    }
    if (!ask(kConfirmChange)) return;
    store.changeCondition(main, companion, cb_vaziat->currentText().trimmed());
    cb_vaziat->setCurrentText(kInsured);
    reloadGrid();
}

void Tf_hamrah::removeAll() {
    const std::optional<double> main = codeIn(cb_code_d);
    if (!main || m_companions->rowCount() == 0) {
        notice(kNothingToDelete);
        return;
    }
    if (!ask(kConfirmDelete)) return;
    CompanionStore(m_windows.db).removeAll(*main);
    clearAll();
}

void Tf_hamrah::removeOne() {
    const std::optional<double> main = codeIn(cb_code_d);
    const int row = currentSourceRow(DBGrid1);
    if (!main || !m_companions->hasRow(row)) {
        notice(kNothingToDelete);
        return;
    }
    if (!ask(kConfirmDelete)) return;
    CompanionStore(m_windows.db).removeOne(*main, m_companions->row(row).code);
    reloadGrid();
}

bool Tf_hamrah::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPlain(key)) return false;
    const auto in = [watched](QComboBox* box) { return watched == box || watched == box->lineEdit(); };
    const bool enter = isEnter(key);
    if (in(cb_name_d) && enter) {
        if (!cb_name_d->textIsKnown()) {
            notice(kUnknownName);
            cb_name_d->setDrug(std::nullopt);
            return true;
        }
        cb_name_h->setFocus();
        return true;
    }
    if (in(cb_name_h)) {
        if (enter) {
            if (!cb_name_h->textIsKnown()) {
                notice(kUnknownName);
                clearCompanion();
                return true;
            }
            cb_vaziat->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Right) {
            cb_name_d->setFocus();
            return true;
        }
    }
    if (in(cb_vaziat)) {
        if (enter) {
            m_bar->activate(CommandBar::Save);
            return true;
        }
        if (key->key() == Qt::Key_Left || key->key() == Qt::Key_Right) {
            cb_name_h->setFocus();
            return true;
        }
    }
    return false;
}

} // namespace ph
