#include "catalogue/ui/sabt_darou.h"

#include "core/app_context.h"
#include "catalogue/goods.h"
#include "catalogue/lookup_list.h"
#include "catalogue/ui/barcode_box.h"
#include "catalogue/ui/goods_set.h"
#include "core/amounts.h"
#include "core/error.h"
#include "core/prompter.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/window_tools.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ph {
namespace {

// Goods codes, national and identity codes and prices are whole numbers held in double
// columns, exact up to 15 digits.
constexpr int kNumberDigits = 15;

CodeField* makeDigits(const QString& objectName, int digits, QWidget* parent) {
    auto* field = new CodeField(parent);
    field->setObjectName(objectName);
    field->setMaxDigits(digits);
    return field;
}

QLineEdit* makeEdit(const QString& objectName, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    return edit;
}

QWidget* pair(QWidget* code, QWidget* name, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(code);
    layout->addWidget(name, 1);
    return row;
}

void showNumber(QLineEdit* field, const std::optional<double>& value) {
    if (value)
        field->setText(plainDecimalText(*value));
    else
        field->clear();
}

std::optional<double> numberIn(const QLineEdit* field) {
    const QString text = field->text().trimmed();
    if (text.isEmpty()) return std::nullopt;
    return text.toDouble();
}

} // namespace

Tf_sabt_darou::Tf_sabt_darou(const WindowContext& windows, DrugListSet& drugs, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_drugs(drugs) {
    setObjectName(QStringLiteral("f_sabt_darou"));
    setWindowTitle(QStringLiteral("فـــرم ثبت و اصلاح دارو"));
    setLayoutDirection(Qt::RightToLeft);

    me_code_g = makeDigits(QStringLiteral("me_code_g"), 9, this);
    me_name_g = makeEdit(QStringLiteral("me_name_g"), this);
    me_code_t = makeDigits(QStringLiteral("me_code_t"), 9, this);
    me_name_t = makeEdit(QStringLiteral("me_name_t"), this);
    me_code_kala = makeEdit(QStringLiteral("me_code_kala"), this);
    for (QLineEdit* shown : {me_name_g, me_name_t, me_code_kala}) {
        shown->setReadOnly(true);
        shown->setFocusPolicy(Qt::NoFocus);
    }
    me_code_two = makeDigits(QStringLiteral("me_code_two"), kNumberDigits, this);
    me_code_sh = makeDigits(QStringLiteral("me_code_sh"), kNumberDigits, this);
    me_name_kala = makeEdit(QStringLiteral("me_name_kala"), this);
    me_name_kala->setMaxLength(goodsNameWidth());
    me_name_latin = makeEdit(QStringLiteral("me_name_latin"), this);
    me_name_latin->setLayoutDirection(Qt::LeftToRight);
    me_price = makeDigits(QStringLiteral("me_price"), kNumberDigits, this);

    me_code_g->setLookup([this](qint64 code) { return GoodsCatalogue(m_windows.db).groupName(code); },
                         me_name_g, m_windows.prompter);
    me_code_t->setLookup([this](qint64 code) { return GoodsCatalogue(m_windows.db).formName(code); },
                         me_name_t, m_windows.prompter);
    me_code_g->setPicker([this] {
        bool chosen = false;
        guarded(m_windows.prompter, [&] {
            chosen = pickCode(m_windows, me_code_g, QStringLiteral("group2"), groupPickRows(m_windows.db));
        });
        (chosen ? static_cast<QWidget*>(me_code_t) : me_code_g)->setFocus();
    });
    me_code_t->setPicker([this] {
        bool chosen = false;
        guarded(m_windows.prompter, [&] {
            chosen = pickCode(m_windows, me_code_t, QStringLiteral("type2"), formPickRows(m_windows.db));
        });
        (chosen ? static_cast<QWidget*>(me_code_two) : me_code_t)->setFocus();
    });

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("گــروه كالا: "), pair(me_code_g, me_name_g, this));
    form->addRow(QStringLiteral("شكـل كالا: "), pair(me_code_t, me_name_t, this));
    form->addRow(QStringLiteral("كــد دارو:"), me_code_kala);
    form->addRow(QStringLiteral("كــد ملـي :"), me_code_two);
    form->addRow(QStringLiteral("كـدشناسه:"), me_code_sh);
    form->addRow(QStringLiteral("نــام دارو : "), me_name_kala);
    form->addRow(QStringLiteral("نــام لاتين : "), me_name_latin);
    form->addRow(QStringLiteral("قيمت واحد: "), me_price);
    // The barcodes of the drug shown (in new mode, of the drug saved last); Ctrl+B reaches them.
    m_barcodes = new BarcodeBox(m_windows.db, m_windows.prompter, m_windows.settings, this);
    form->addRow(QStringLiteral("باركد (Ctrl+B):"), m_barcodes);

    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::Save | CommandBar::Close | CommandBar::Navigation, this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("ثبت F2"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->setHandler(CommandBar::Save, [this] { save(); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });
    const struct {
        CommandBar::Command command;
        DrugListSet::Move move;
    } moves[] = {{CommandBar::First, DrugListSet::Move::First},
                 {CommandBar::Previous, DrugListSet::Move::Previous},
                 {CommandBar::Next, DrugListSet::Move::Next},
                 {CommandBar::Last, DrugListSet::Move::Last}};
    for (const auto& m : moves) {
        const DrugListSet::Move move = m.move;
        m_bar->setHandler(m.command, [this, move] {
            if (m_drugs.move(move)) showCurrent();
        });
    }

    // What the last save did, in the dialog itself: saving a new drug asks for no confirmation.
    lb_saved = new QLabel(this);
    lb_saved->setObjectName(QStringLiteral("lb_saved"));
    lb_saved->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lb_saved);
    layout->addWidget(m_bar);

    m_nav = new KeyNav({me_code_g, me_code_t, me_code_two, me_code_sh, me_name_kala, me_name_latin, me_price},
                       this);
    // Up moves back only from the national code on.
    m_nav->setUpMoves(me_code_t, false);
    // Enter in the price, the last field, saves as F2 does.
    m_nav->setLastAction([this] { m_bar->button(CommandBar::Save)->click(); });
}

Tf_sabt_darou::~Tf_sabt_darou() = default;

void Tf_sabt_darou::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return; // restored from the task bar: what was typed stays
    lb_saved->clear();
    if (m_editing) {
        showCurrent();
        me_price->setFocus();
    } else {
        clearFields();
        me_code_g->setFocus();
    }
}

void Tf_sabt_darou::done(int result) {
    const QString shown = me_code_kala->text();
    if (!shown.isEmpty())
        guarded(m_windows.prompter, [&] {
            m_drugs.reload();
            m_drugs.locate(shown.toDouble());
        });
    QDialog::done(result);
}

void Tf_sabt_darou::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        m_windows.prompter.showHelp();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tf_sabt_darou::clearFields() {
    for (QLineEdit* field :
         {static_cast<QLineEdit*>(me_code_g), static_cast<QLineEdit*>(me_code_t), me_name_g, me_name_t,
          me_code_kala, static_cast<QLineEdit*>(me_code_two), static_cast<QLineEdit*>(me_code_sh),
          me_name_kala, me_name_latin, static_cast<QLineEdit*>(me_price)})
        field->clear();
    m_barcodes->setItem(std::nullopt);
}

// Every field shows the row, an empty column as an empty field.
void Tf_sabt_darou::showRow(const GoodsItem& item) {
    me_code_g->setText(QString::number(item.group));
    me_code_t->setText(QString::number(item.form));
    me_name_t->setText(item.formName);
    me_code_kala->setText(plainDecimalText(item.code));
    showNumber(me_code_two, item.nationalCode);
    showNumber(me_code_sh, item.identityCode);
    me_name_kala->setText(item.name);
    me_name_latin->setText(item.latinName);
    showNumber(me_price, item.price);
    m_barcodes->setItem(item.code, item.name);
}

void Tf_sabt_darou::showCurrent() {
    if (const std::optional<GoodsItem> current = m_drugs.current())
        showRow(*current);
    else
        clearFields();
}

void Tf_sabt_darou::save() {
    const struct {
        QLineEdit* field;
        const char16_t* message;
    } required[] = {
        {me_code_g, u"گروه كالا مشخص نشده است"},     {me_code_t, u"شكل كالا مشخص نشده است"},
        {me_name_kala, u"نــام دارو مشخص نشده است"}, {me_name_latin, u"نــام لاتين دارو مشخص نشده است"},
        {me_price, u"قيمت دارو مشخص نشده است"},
    };
    for (const auto& r : required)
        if (r.field->text().trimmed().isEmpty()) {
            m_windows.prompter.warning(QString::fromUtf16(r.message));
            r.field->setFocus();
            return;
        }
    if (m_editing)
        saveEdit();
    else
        saveNew();
}

namespace {

GoodsEntry entryOf(const CodeField* group, const CodeField* form, const QLineEdit* nationalCode,
                   const QLineEdit* identityCode, const QLineEdit* name, const QLineEdit* latinName,
                   const QLineEdit* price) {
    GoodsEntry entry;
    entry.group = group->code().value_or(0);
    entry.form = form->code().value_or(0);
    entry.nationalCode = numberIn(nationalCode);
    entry.identityCode = numberIn(identityCode);
    entry.name = name->text();
    entry.latinName = latinName->text();
    entry.price = numberIn(price).value_or(0);
    return entry;
}

} // namespace

bool Tf_sabt_darou::refused(GoodsOutcome outcome) {
    Prompter& prompter = m_windows.prompter;
    switch (outcome) {
    case GoodsOutcome::Done:
        return false;
    case GoodsOutcome::UnknownGroup:
        prompter.warning(me_code_g->refusalText());
        me_code_g->setFocus();
        return true;
    case GoodsOutcome::UnknownForm:
        prompter.warning(me_code_t->refusalText());
        me_code_t->setFocus();
        return true;
    case GoodsOutcome::DuplicateCode:
        prompter.warning(QStringLiteral("كدكالا تكراري مي باشد"));
        me_code_two->setFocus();
        return true;
    default: // named by linked rows, or gone
        prompter.warning(QStringLiteral("امكان اصلاح داروي موردنظر وجود ندارد"));
        me_code_g->setFocus();
        return true;
    }
}

void Tf_sabt_darou::saveNew() {
    const GoodsEntry entry =
        entryOf(me_code_g, me_code_t, me_code_two, me_code_sh, me_name_kala, me_name_latin, me_price);
    GoodsSaveResult result;
    if (!guarded(m_windows.prompter, [&] { result = GoodsCatalogue(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tf_sabt_darou"))).add(entry); })) return;
    if (refused(result.outcome)) return;
    me_code_kala->setText(plainDecimalText(result.code));
    bool listed = false;
    guarded(m_windows.prompter, [&] {
        m_drugs.reload();
        listed = m_drugs.locate(result.code);
    });
    QString saved = QStringLiteral("«%1» با كد %2 ثبت شد.").arg(entry.name, plainDecimalText(result.code));
    if (!listed) saved += QStringLiteral(" فهرست داروها با گروه و شكل انتخاب شده در آن، اين دارو را نشان نمي دهد.");
    lb_saved->setText(saved);
    m_barcodes->setItem(result.code, entry.name);
    // Group and form stay, ready for the next drug of the same kind.
    for (QLineEdit* field :
         {me_code_kala, static_cast<QLineEdit*>(me_code_two), static_cast<QLineEdit*>(me_code_sh),
          me_name_kala, me_name_latin, static_cast<QLineEdit*>(me_price)})
        field->clear();
    me_code_two->setFocus();
}

void Tf_sabt_darou::saveEdit() {
    const GoodsEntry entry =
        entryOf(me_code_g, me_code_t, me_code_two, me_code_sh, me_name_kala, me_name_latin, me_price);
    Prompter& prompter = m_windows.prompter;
    bool shown = false;
    const double code = me_code_kala->text().toDouble(&shown);
    GoodsSaveResult result{GoodsOutcome::Missing, code};
    if (shown &&
        !guarded(m_windows.prompter, [&] { result = GoodsCatalogue(m_windows.db, AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tf_sabt_darou"))).update(code, entry); }))
        return;
    if (refused(result.outcome)) return;
    me_code_kala->setText(plainDecimalText(result.code));
    guarded(m_windows.prompter, [&] {
        m_drugs.reload();
        m_drugs.locate(result.code);
    });
    lb_saved->clear();
    prompter.information(QStringLiteral("اطلاعات شما اصلاح گرديد"));
    me_code_g->setFocus();
}

} // namespace ph
