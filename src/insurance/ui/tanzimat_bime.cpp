#include "insurance/ui/tanzimat_bime.h"

#include "core/amounts.h"
#include "core/prompter.h"
#include "insurance/insurer_store.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/window_tools.h"

#include <QButtonGroup>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

QString positionText(const std::optional<double>& value) {
    return value ? plainDecimalText(*value) : QString();
}

QList<RowTableModel<InsurerPrintSetting>::Column> settingColumns() {
    using Row = InsurerPrintSetting;
    const auto at = [](std::optional<double> ItemPosition::*axis, ItemPosition PrintPositions::*item) {
        return [axis, item](const Row& r) { return QVariant(positionText(r.positions.*item.*axis)); };
    };
    return {
        {QStringLiteral("تنظيم سفارشي"), [](const Row& r) { return QVariant(r.choice == PrintChoice::Custom ? 1 : 0); }},
        {QStringLiteral("نــام بـيـمـه "), [](const Row& r) { return QVariant(r.insurerName); }},
        {QStringLiteral("كدنسخهX"), at(&ItemPosition::x, &PrintPositions::code)},
        {QStringLiteral("كدنسخهY"), at(&ItemPosition::y, &PrintPositions::code)},
        {QStringLiteral("قيمت X"), at(&ItemPosition::x, &PrintPositions::price)},
        {QStringLiteral("قيمت Y"), at(&ItemPosition::y, &PrintPositions::price)},
        {QStringLiteral("جمع كل X"), at(&ItemPosition::x, &PrintPositions::total)},
        {QStringLiteral("جمع كل Y"), at(&ItemPosition::y, &PrintPositions::total)},
        {QStringLiteral("سهم بيمارX"), at(&ItemPosition::x, &PrintPositions::patient)},
        {QStringLiteral("سهم بيمارY"), at(&ItemPosition::y, &PrintPositions::patient)},
        {QStringLiteral("آزاد X"), at(&ItemPosition::x, &PrintPositions::free)},
        {QStringLiteral("آزادY"), at(&ItemPosition::y, &PrintPositions::free)},
        {QStringLiteral("پرداختيX"), at(&ItemPosition::x, &PrintPositions::paid)},
        {QStringLiteral("پرداختيY"), at(&ItemPosition::y, &PrintPositions::paid)},
    };
}

const QString kNoInsurer = QStringLiteral("نام بيمه وارد نشده است");
const QString kNoChoice = QStringLiteral("نوع تنظيم چاپ مشخص نشده است");
const QString kStored = QStringLiteral("اطلاعات شما ثبت گرديد");

} // namespace

Tf_tanzimat_bime::Tf_tanzimat_bime(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_rows(new SettingTable(settingColumns(), this)) {
    setObjectName(QStringLiteral("f_tanzimat_bime"));
    setWindowTitle(QStringLiteral("   فــــــرم تـنـظـيـمـات   بــيـمـه "));
    makeFields();
    makeCommands();
    makeLayout();
    resize(760, 700); // room for several insurers' rows below the positions
}

Tf_tanzimat_bime::~Tf_tanzimat_bime() {
    DBGrid1->selectionModel()->disconnect(this);
}

void Tf_tanzimat_bime::makeFields() {
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_rows);
    me_code_bime = new CodeField(this);
    me_code_bime->setObjectName(QStringLiteral("me_code_bime"));
    me_name_bime = makeLineField(this, QStringLiteral("me_name_bime"));
    me_name_bime->setReadOnly(true);
    me_name_bime->setEnabled(false);
    me_name_bime->setFocusPolicy(Qt::NoFocus);
    me_code_bime->setLookup([this](qint64 code) { return InsurerStore(m_windows.db).nameOf(int(code)); },
                            me_name_bime, m_windows.prompter);
    me_code_bime->setPicker([this] { pickInsurer(); });
    me_code_bime->installEventFilter(this);

    rb_defult1 = new QRadioButton(QStringLiteral("تنظيم چاپ نسخه بصورت پيش فرض(فرم 1)"), this);
    rb_defult1->setObjectName(QStringLiteral("rb_defult1"));
    rb_defult2 = new QRadioButton(QStringLiteral("تنظيم چاپ نسخه بصورت پيش فرض(فرم 2)"), this);
    rb_defult2->setObjectName(QStringLiteral("rb_defult2"));
    rb_custom = new QRadioButton(QStringLiteral("تنظيم چاپ نسخه بصورت دلخواه "), this);
    rb_custom->setObjectName(QStringLiteral("rb_custom"));
    m_choices = new QButtonGroup(this);
    for (QRadioButton* button : {rb_defult1, rb_defult2, rb_custom})
        m_choices->addButton(button);

    const auto position = [this](const char* name) {
        QLineEdit* field = makeLineField(this, QString::fromLatin1(name));
        field->setLayoutDirection(Qt::LeftToRight);
        return field;
    };
    me_xcode = position("me_xcode");
    me_ycode = position("me_ycode");
    me_xprice = position("me_xprice");
    me_yprice = position("me_yprice");
    me_xkoll = position("me_xkoll");
    me_ykoll = position("me_ykoll");
    me_xbimar = position("me_xbimar");
    me_ybimar = position("me_ybimar");
    me_xazad = position("me_xazad");
    me_yazad = position("me_yazad");
    me_xpar = position("me_xpar");
    me_ypar = position("me_ypar");

    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { loadGridRow(); });
    connect(DBGrid1, &QTableView::clicked, this, [this] { loadGridRow(); });
    connect(DBGrid1, &QTableView::doubleClicked, this, [this] { me_xcode->setFocus(); });
    DBGrid1->installEventFilter(this);
}

void Tf_tanzimat_bime::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter, CommandBar::Save | CommandBar::Close, this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("ثبت F2"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->setRight(CommandBar::Save, QString()); // opening the window is the only right it needs
    m_bar->setHandler(CommandBar::Save, [this] { save(); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });

    m_nav = new KeyNav({me_code_bime, rb_defult1, rb_defult2, rb_custom, me_xcode, me_ycode, me_xprice, me_yprice,
                        me_xkoll, me_ykoll, me_xbimar, me_ybimar, me_xazad, me_yazad, me_xpar, me_ypar},
                       this);
    // Enter in the insurer code goes to the first position; leaving the code loads its setting.
    m_nav->setEnterHandler(me_code_bime, [this] {
        if (!me_code_bime->acceptCode()) return false;
        if (me_code_bime->text().trimmed().isEmpty()) return true;
        me_xcode->setFocus();
        return false;
    });
    // Enter on a choice selects it and moves on.
    for (QRadioButton* button : {rb_defult1, rb_defult2, rb_custom})
        m_nav->setEnterHandler(button, [button] {
            button->setChecked(true);
            return true;
        });
}

void Tf_tanzimat_bime::makeLayout() {
    auto* insurerBox = new QGroupBox(QStringLiteral("   انتخاب بيمه مورد نظر   "), this);
    auto* insurerRow = new QHBoxLayout(insurerBox);
    insurerRow->addWidget(new QLabel(QStringLiteral("نـــوع بـيـمـه : "), insurerBox));
    insurerRow->addWidget(me_code_bime, 1);
    insurerRow->addWidget(me_name_bime, 3);

    auto* choices = new QVBoxLayout;
    for (QRadioButton* button : {rb_defult1, rb_defult2, rb_custom})
        choices->addWidget(button);

    auto* positionsBox = new QGroupBox(QStringLiteral("  تنظيمات چاپ نسخه  "), this);
    auto* grid = new QGridLayout(positionsBox);
    grid->addWidget(new QLabel(QStringLiteral("محور X ها  "), positionsBox), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("محور Y ها"), positionsBox), 0, 3);
    const QList<std::tuple<QString, QLineEdit*, QLineEdit*>> rows = {
        {QStringLiteral("كدنسخه : "), me_xcode, me_ycode},
        {QStringLiteral("قيمت اقلام دارو: "), me_xprice, me_yprice},
        {QStringLiteral("جمع كل :"), me_xkoll, me_ykoll},
        {QStringLiteral("سهم بيمار: "), me_xbimar, me_ybimar},
        {QStringLiteral("آزاد : "), me_xazad, me_yazad},
        {QStringLiteral("پرداختي : "), me_xpar, me_ypar},
    };
    int row = 1;
    for (const auto& [caption, x, y] : rows) {
        grid->addWidget(new QLabel(caption, positionsBox), row, 0);
        grid->addWidget(x, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("mm"), positionsBox), row, 2);
        grid->addWidget(y, row, 3);
        grid->addWidget(new QLabel(QStringLiteral("mm"), positionsBox), row, 4);
        ++row;
    }
    auto* note = new QLabel(QStringLiteral("توجه : ") + QStringLiteral("اندازه ها برحسب ميلي متر حساب مي شود."), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(insurerBox);
    layout->addLayout(choices);
    layout->addWidget(positionsBox);
    layout->addWidget(note);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(m_bar);
}

void Tf_tanzimat_bime::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    clearForm();
    me_code_bime->setFocus();
}

bool Tf_tanzimat_bime::eventFilter(QObject* watched, QEvent* event) {
    if (watched == me_code_bime && event->type() == QEvent::FocusOut) {
        // Leaving the code loads its setting; a dialog or a menu taking the focus is not leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            guarded(m_windows.prompter, [this] { loadSettingOfCode(); });
    } else if (watched == DBGrid1 && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (event->type() == QEvent::KeyPress && isEnterKey(key->key())) {
            loadGridRow();
            me_xcode->setFocus();
            return true;
        }
        if (event->type() == QEvent::KeyRelease) loadGridRow();
    }
    return QDialog::eventFilter(watched, event);
}

void Tf_tanzimat_bime::reload() {
    m_rows->setRows(PrintSettingStore(m_windows.db).customSettings());
    DBGrid1->setCurrentIndex({});
}

void Tf_tanzimat_bime::clearForm() {
    for (QLineEdit* field : {static_cast<QLineEdit*>(me_code_bime), me_name_bime, me_xcode, me_ycode, me_xprice,
                             me_yprice, me_xkoll, me_ykoll, me_xbimar, me_ybimar, me_xazad, me_yazad, me_xpar,
                             me_ypar})
        field->clear();
    setChoice(PrintChoice::None);
    guarded(m_windows.prompter, [this] { reload(); });
}

PrintChoice Tf_tanzimat_bime::choice() const {
    if (rb_defult1->isChecked()) return PrintChoice::Layout1;
    if (rb_defult2->isChecked()) return PrintChoice::Layout2;
    if (rb_custom->isChecked()) return PrintChoice::Custom;
    return PrintChoice::None;
}

void Tf_tanzimat_bime::setChoice(PrintChoice choice) {
    if (choice == PrintChoice::None) {
        // An exclusive group keeps one button checked: let go of it to clear them all.
        m_choices->setExclusive(false);
        for (QRadioButton* button : {rb_defult1, rb_defult2, rb_custom})
            button->setChecked(false);
        m_choices->setExclusive(true);
        return;
    }
    (choice == PrintChoice::Layout1 ? rb_defult1 : choice == PrintChoice::Layout2 ? rb_defult2 : rb_custom)
        ->setChecked(true);
}

void Tf_tanzimat_bime::showPositions(const PrintPositions& p) {
    const QList<std::pair<QLineEdit*, std::optional<double>>> values = {
        {me_xcode, p.code.x},   {me_ycode, p.code.y},       {me_xprice, p.price.x}, {me_yprice, p.price.y},
        {me_xkoll, p.total.x},  {me_ykoll, p.total.y},      {me_xbimar, p.patient.x}, {me_ybimar, p.patient.y},
        {me_xazad, p.free.x},   {me_yazad, p.free.y},       {me_xpar, p.paid.x},    {me_ypar, p.paid.y},
    };
    for (const auto& [field, value] : values)
        field->setText(positionText(value));
}

void Tf_tanzimat_bime::loadSettingOfCode() {
    const std::optional<qint64> code = me_code_bime->code();
    if (!code) {
        me_name_bime->clear();
        return;
    }
    if (!InsurerStore(m_windows.db).nameOf(int(*code))) return; // the code field refuses it
    const std::optional<InsurerPrintSetting> setting = PrintSettingStore(m_windows.db).forInsurer(int(*code));
    if (!setting) {
        showPositions({});
        setChoice(PrintChoice::None);
        return;
    }
    if (setting->choice != PrintChoice::None) setChoice(setting->choice); // a row with no flag keeps the choice
    showPositions(setting->positions);
}

void Tf_tanzimat_bime::loadGridRow() {
    const int row = DBGrid1->currentIndex().row();
    if (!m_rows->hasRow(row)) return;
    const InsurerPrintSetting& setting = m_rows->row(row);
    setChoice(PrintChoice::Custom);
    me_code_bime->setText(QString::number(setting.insurer)); // fills the name
    showPositions(setting.positions);
}

PrintPositions Tf_tanzimat_bime::positionsFromFields() const {
    // A position that is not a number stops the save with a conversion error.
    const auto value = [](const QLineEdit* field) -> std::optional<double> {
        if (field->text().trimmed().isEmpty()) return std::nullopt;
        return amountFromText(field->text().trimmed());
    };
    PrintPositions p;
    p.code = {value(me_xcode), value(me_ycode)};
    p.price = {value(me_xprice), value(me_yprice)};
    p.total = {value(me_xkoll), value(me_ykoll)};
    p.patient = {value(me_xbimar), value(me_ybimar)};
    p.free = {value(me_xazad), value(me_yazad)};
    p.paid = {value(me_xpar), value(me_ypar)};
    return p;
}

bool Tf_tanzimat_bime::validate() {
    Prompter& prompter = m_windows.prompter;
    const auto refuse = [&prompter](const QString& text, QWidget* field) {
        prompter.warning(text);
        field->setFocus();
        return false;
    };
    if (me_code_bime->text().trimmed().isEmpty()) return refuse(kNoInsurer, me_code_bime);
    if (rb_defult1->isChecked() || rb_defult2->isChecked()) return true;
    const QList<std::pair<QLineEdit*, QString>> required = {
        {me_xcode, QStringLiteral("محل چاپ كدنسخه مشخص نشده است")},
        {me_xprice, QStringLiteral("محل چاپ قيمت اقلام مشخص نشده است")},
        {me_xkoll, QStringLiteral("محل چاپ جمع كل مشخص نشده است")},
        {me_xbimar, QStringLiteral("محل چاپ سهم بيمار مشخص نشده است")},
        {me_xazad, QStringLiteral("محل چاپ مبلغ آزاد مشخص نشده است")},
        {me_xpar, QStringLiteral("محل چاپ مبلغ پرداختي مشخص نشده است")},
        {me_yazad, QStringLiteral("محل چاپ مبلغ آزاد مشخص نشده است")},
        {me_ybimar, QStringLiteral("محل چاپ سهم بيمار مشخص نشده است")},
        {me_ykoll, QStringLiteral("محل چاپ جمع كل مشخص نشده است")},
        {me_yprice, QStringLiteral("محل چاپ قيمت اقلام مشخص نشده است")},
        {me_ycode, QStringLiteral("محل چاپ كدنسخه مشخص نشده است")},
        {me_ypar, QStringLiteral("محل چاپ  مبلغ پرداختي مشخص نشده است")},
    };
    for (const auto& [field, message] : required)
        if (field->text().trimmed().isEmpty()) return refuse(message, field);
    return true;
}

void Tf_tanzimat_bime::save() {
    if (!validate()) return;
    const PrintChoice chosen = choice();
    if (chosen == PrintChoice::None) {
        m_windows.prompter.warning(kNoChoice);
        return;
    }
    guarded(m_windows.prompter, [&] {
        const int insurer = int(amountFromText(me_code_bime->text().trimmed()));
        // A fixed layout writes no positions: the typed ones are not even read.
        const PrintPositions positions = chosen == PrintChoice::Custom ? positionsFromFields() : PrintPositions{};
        if (PrintSettingStore(m_windows.db).save(insurer, chosen, positions) != PrintSettingStore::SaveResult::Stored)
            return;
        reload();
        m_windows.prompter.information(kStored);
        clearForm();
        me_code_bime->setFocus();
    });
}

void Tf_tanzimat_bime::pickInsurer() {
    if (!m_windows.picker) return;
    PickRows rows;
    if (!guarded(m_windows.prompter, [&] { rows = InsurerStore(m_windows.db).pickRows(); })) return;
    if (pickCode(m_windows, me_code_bime, QStringLiteral("tanzimat_bime"), rows)) me_xcode->setFocus();
}

} // namespace ph
