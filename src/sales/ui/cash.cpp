#include "sales/ui/cash.h"

#include "dispensing/settings_store.h"
#include "admin/users.h"
#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "sales/sales_texts.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/number_delegate.h"
#include "widgets/keys.h"
#include "widgets/window_tools.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace ph {

namespace t = texts::sales;

namespace {

QLineEdit* shownField(QWidget* parent, const char* name) {
    QLineEdit* field = makeLineField(parent, QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

// A stored date yy/mm/dd in the closing's "  /  /  " mask.
void showDate(QLineEdit* field, const QString& date) {
    field->setText(date.isEmpty() ? QStringLiteral("  /  /  ") : date);
}

} // namespace

Tf_cash::Tf_cash(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_desk(windows.db) {
    setObjectName(QStringLiteral("f_cash"));
    setWindowTitle(QStringLiteral("   فــــــرم اختتـــــــام  صنـــــدوق   "));
    setLayoutDirection(Qt::RightToLeft);

    m_bar = new CommandBar(windows.context, windows.prompter, {CommandBar::Save, CommandBar::Close}, this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("اختتام  F2"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    m_bar->setRight(CommandBar::Save, {});
    m_bar->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { closeTill(); }); });

    m_panels = new QStackedWidget(this);
    makeSummary();
    makeKeeperPanel();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_panels, 1);
    resize(520, 380);
}

void Tf_cash::makeSummary() {
    Panel_summary = new QWidget(m_panels);
    Panel_summary->setObjectName(QStringLiteral("Panel_summary"));
    me_name_opr = shownField(Panel_summary, "me_name_opr");
    me_code_opr = shownField(Panel_summary, "me_code_opr");
    me_date_first = shownField(Panel_summary, "me_date_first");
    me_time_first = shownField(Panel_summary, "me_time_first");
    me_date_end = shownField(Panel_summary, "me_date_end");
    me_time_end = shownField(Panel_summary, "me_time_end");
    me_daryaft = shownField(Panel_summary, "me_daryaft");
    me_bargasht = shownField(Panel_summary, "me_bargasht");
    me_mojoodi = shownField(Panel_summary, "me_mojoodi");
    me_pardakht = shownField(Panel_summary, "me_pardakht");
    auto* form = new QFormLayout(Panel_summary);
    auto* user = new QHBoxLayout;
    user->addWidget(me_name_opr, 3);
    user->addWidget(me_code_opr, 1);
    form->addRow(QStringLiteral("نـــام كاربــر: "), user);
    form->addRow(QStringLiteral("تاريخ شـــروع: "), me_date_first);
    form->addRow(QStringLiteral("ساعت شـــروع: "), me_time_first);
    form->addRow(QStringLiteral("تاريخ اختتـــام : "), me_date_end);
    form->addRow(QStringLiteral("ساعت اختتـــام: "), me_time_end);
    form->addRow(QStringLiteral("دريافتـــــي: "), me_daryaft);
    form->addRow(QStringLiteral("برگشتـــــي: "), me_bargasht);
    form->addRow(QStringLiteral("موجــودي صندوق: "), me_mojoodi);
    form->addRow(QStringLiteral("پـرداخت نشده: "), me_pardakht);
    m_panels->addWidget(Panel_summary);
}

void Tf_cash::makeKeeperPanel() {
    Panel_new = new QWidget(m_panels);
    Panel_new->setObjectName(QStringLiteral("Panel_new"));
    me_code_new = makeLineField(Panel_new, QStringLiteral("me_code_new"));
    me_code_new->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), me_code_new));
    me_code_new->installEventFilter(this);
    connect(me_code_new, &QLineEdit::textEdited, this, [this] { guarded(m_windows.prompter, [this] { lookUpKeeper(); }); });
    me_name_new = shownField(Panel_new, "me_name_new");
    me_date_new = shownField(Panel_new, "me_date_new");
    me_time_new = shownField(Panel_new, "me_time_new");
    but_back = new QPushButton(QStringLiteral("تاييد"), Panel_new);
    but_back->setObjectName(QStringLiteral("but_back"));
    but_back->setAutoDefault(false);
    but_back->installEventFilter(this);
    connect(but_back, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { confirmKeeper(); }); });
    auto* form = new QFormLayout(Panel_new);
    auto* code = new QHBoxLayout;
    code->addWidget(me_code_new, 1);
    code->addWidget(me_name_new, 3);
    form->addRow(QStringLiteral("کد كاربــرجـديد: "), code);
    form->addRow(QStringLiteral("تــاريخ شــروع: "), me_date_new);
    form->addRow(QStringLiteral("ساعت شــروع: "), me_time_new);
    form->addRow(QString(), but_back);
    m_panels->addWidget(Panel_new);
}

QString Tf_cash::now() const {
    return m_windows.clock.now().toString(QStringLiteral("HH:mm"));
}

bool Tf_cash::showsSummary() const {
    return m_panels->currentWidget() == Panel_summary;
}

void Tf_cash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    for (QLineEdit* field : findChildren<QLineEdit*>())
        field->clear();
    guarded(m_windows.prompter, [this] {
        if (SettingsStore(m_windows.db).tillKeeper().defined)
            fillSummary();
        else
            showKeeperPanel();
    });
}

void Tf_cash::fillSummary() {
    m_panels->setCurrentWidget(Panel_summary);
    m_bar->setEnabled(CommandBar::Save, true);
    me_name_opr->setText(m_windows.context.cashier_name);
    me_code_opr->setText(QString::number(m_windows.context.cashier_code));
    showDate(me_date_end, m_windows.context.current_date);
    me_time_end->setText(now());
    const TillFigures figures = m_desk.figures();
    showDate(me_date_first, figures.rows ? figures.firstDate : m_windows.context.current_date);
    me_time_first->setText(figures.rows ? figures.firstTime : now());
    me_daryaft->setText(amountDisplayText(figures.received));
    me_bargasht->setText(amountDisplayText(figures.refunded));
    me_mojoodi->setText(amountDisplayText(figures.net()));
    me_pardakht->setText(QStringLiteral("0"));
}

void Tf_cash::showKeeperPanel() {
    m_panels->setCurrentWidget(Panel_new);
    m_bar->setEnabled(CommandBar::Save, false);
    me_code_new->setText(QStringLiteral("1"));
    me_name_new->setText(t::kTemporaryKeeper);
    showDate(me_date_new, m_windows.context.current_date);
    me_time_new->setText(now());
    but_back->setFocus();
}

void Tf_cash::closeTill() {
    if (!showsSummary()) return;
    if (!m_windows.prompter.askYesNo(t::kConfirmClosing)) return;
    const TillClosing closing =
        m_desk.close(m_windows.context.cashier_code, m_windows.context.current_date, now(),
                     AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tf_cash")));
    // What was recorded: the rows paid up to the closing's own moment.
    me_daryaft->setText(amountDisplayText(closing.figures.received));
    me_bargasht->setText(amountDisplayText(closing.figures.refunded));
    me_mojoodi->setText(amountDisplayText(closing.figures.net()));
    showKeeperPanel();
}

bool Tf_cash::lookUpKeeper() {
    const QString code = me_code_new->text().trimmed();
    if (code.isEmpty()) {
        me_name_new->clear();
        return true;
    }
    const std::optional<QString> name = UserStore(m_windows.db).nameOf(code.toInt());
    me_name_new->setText(name.value_or(QString()));
    return name.has_value();
}

void Tf_cash::confirmKeeper() {
    if (!lookUpKeeper()) {
        m_windows.prompter.warning(t::kUnknownUser);
        me_code_new->setFocus();
        return;
    }
    const QString code = me_code_new->text().trimmed();
    const bool yes = m_windows.prompter.askYesNo(t::kConfirmKeeper);
    SettingsStore(m_windows.db).setTillKeeper({yes && !code.isEmpty(), code});
    accept();
}

bool Tf_cash::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPlain(key) || !isEnter(key)) return QDialog::eventFilter(watched, event);
    if (watched == me_code_new) {
        guarded(m_windows.prompter, [this] {
            if (lookUpKeeper()) {
                but_back->setFocus();
            } else {
                m_windows.prompter.warning(t::kUnknownUser);
                me_code_new->setFocus();
            }
        });
        return true;
    }
    if (watched == but_back) {
        but_back->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ph
