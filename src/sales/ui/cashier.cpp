#include "sales/ui/cashier.h"

#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "sales/sales_texts.h"
#include "widgets/command_bar.h"
#include "widgets/guarded.h"
#include "widgets/number_delegate.h"
#include "widgets/list_grid.h"
#include "widgets/row_table_model.h"
#include "widgets/window_tools.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace ph {

namespace t = texts::sales;

Tf_cashier::Tf_cashier(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_desk(windows.db) {
    setObjectName(QStringLiteral("f_cashier"));
    setWindowTitle(QStringLiteral("   فـــــــرم واحـــد صنــــدوق   "));
    setLayoutDirection(Qt::RightToLeft);

    m_rows = new RowTableModel<WaitingPayment>(
        {
            {QStringLiteral("فاكتور"), [](const WaitingPayment& r) { return QVariant(r.invoice); }},
            {QStringLiteral("نـام خـانـوادگـي"), [](const WaitingPayment& r) { return QVariant(r.family); }},
            {QStringLiteral("تاريخ پذيزش"), [](const WaitingPayment& r) { return QVariant(r.date); }},
            {QStringLiteral("ساعت پذيرش"), [](const WaitingPayment& r) { return QVariant(r.time); }},
            {QStringLiteral("جمع كل"), [](const WaitingPayment& r) { return QVariant(r.total); }},
            {QStringLiteral("نوع فاكتور"), [](const WaitingPayment& r) { return QVariant(r.kind.toUpper()); }},
        },
        this);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_rows);

    me_koll = makeLineField(this, QStringLiteral("me_koll"));
    me_koll->setReadOnly(true);
    me_koll->setFocusPolicy(Qt::NoFocus);

    m_bar = new CommandBar(windows.context, windows.prompter, {CommandBar::Save, CommandBar::Sort, CommandBar::New,
                                                                CommandBar::Close},
                           this);
    m_bar->button(CommandBar::Save)->setText(QStringLiteral("پرداخت صورت حساب F2"));
    m_bar->button(CommandBar::Sort)->setText(QStringLiteral("مرتب سازيCtrl+S"));
    m_bar->button(CommandBar::New)->setText(QStringLiteral("فاكتورهاي جديد F9"));
    m_bar->button(CommandBar::Close)->setText(QStringLiteral("خروجF10"));
    // Collecting is the cashier's work: the window's own right is enough.
    m_bar->setRight(CommandBar::Save, {});
    m_bar->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { pay(); }); });
    m_bar->setHandler(CommandBar::New, [this] { guarded(m_windows.prompter, [this] { load(); }); });

    m_sortMenu = new QMenu(this);
    m_sortMenu->setObjectName(QStringLiteral("PopupMenu1"));
    const QList<QPair<QString, Order>> sorts = {
        {QStringLiteral("براساس شماره فاكتور"), Order::Invoice},
        {QStringLiteral("براساس نام خانوادگي بيمار"), Order::Family},
        {QStringLiteral("براساس تاريخ و ساعت تحويل"), Order::Time},
        {QStringLiteral("براساس جمع كل"), Order::Total},
        {QStringLiteral("براساس نوع فاكتور"), Order::Kind},
    };
    for (int i = 0; i < sorts.size(); ++i) {
        QAction* action = m_sortMenu->addAction(sorts[i].first);
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_A + i)));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        const Order order = sorts[i].second;
        connect(action, &QAction::triggered, this, [this, order] { sortBy(order); });
    }
    m_bar->setHandler(CommandBar::Sort, [this] {
        QPushButton* button = m_bar->button(CommandBar::Sort);
        m_sortMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });

    auto* legend = new QHBoxLayout;
    legend->addWidget(new QLabel(QStringLiteral("D:"), this));
    legend->addWidget(new QLabel(QStringLiteral("فاكتور مربوط به فروش دارو"), this));
    legend->addSpacing(20);
    legend->addWidget(new QLabel(QStringLiteral("K: "), this));
    legend->addWidget(new QLabel(QStringLiteral("فاكتور مربوط به فروش كـالا"), this));
    legend->addStretch(1);
    legend->addWidget(new QLabel(QStringLiteral("جمع كل: "), this));
    legend->addWidget(me_koll);
    legend->addWidget(new QLabel(QStringLiteral(" ريال "), this));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(legend);
    resize(760, 480);
}

void Tf_cashier::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    guarded(m_windows.prompter, [this] { load(); });
}

void Tf_cashier::load() { loadAt(0); }

void Tf_cashier::loadAt(int row, const std::optional<WaitingPayment>& wanted) {
    const QList<WaitingPayment> rows = m_desk.waiting();
    m_rows->setRows(rows);
    if (rows.isEmpty()) {
        m_bar->setEnabled(CommandBar::Save, false);
        m_windows.prompter.warning(t::kNothingSold);
    } else {
        m_bar->setEnabled(CommandBar::Save, true);
        if (wanted) {
            const auto found = std::find_if(rows.begin(), rows.end(), [&](const WaitingPayment& r) {
                return r.invoice == wanted->invoice && r.kind == wanted->kind;
            });
            if (found != rows.end()) row = int(found - rows.begin());
        }
        selectGridRow(DBGrid1, std::clamp(row, 0, int(rows.size()) - 1)); // F2 pays the current row
        DBGrid1->setFocus();
    }
    me_koll->setText(amountDisplayText(m_desk.receivedSinceClosing()));
}

void Tf_cashier::pay() {
    const QModelIndex current = DBGrid1->currentIndex();
    if (!current.isValid() || !m_rows->hasRow(current.row())) {
        m_windows.prompter.warning(t::kNoInvoiceChosen);
        return;
    }
    const int at = current.row();
    const WaitingPayment row = m_rows->row(at);
    // The row after the paid one becomes current, so the cashier goes on with F2.
    const std::optional<WaitingPayment> next =
        m_rows->hasRow(at + 1) ? std::optional(m_rows->row(at + 1)) : std::nullopt;
    const QDateTime now = m_windows.clock.now();
    if (m_desk.pay(row.invoice, row.kind, m_windows.context.cashier_code, m_windows.context.current_date,
                   now.toString(QStringLiteral("HH:mm")),
                   AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tf_cashier"))) == CashDesk::PayResult::AlreadyPaid)
        m_windows.prompter.warning(t::kAlreadyPaid);
    loadAt(at, next);
}

void Tf_cashier::sortBy(Order order) {
    QList<WaitingPayment> rows = m_rows->rows();
    const auto key = [order](const WaitingPayment& r) {
        switch (order) {
        case Order::Invoice: return std::make_tuple(QString(), QString(), QString(), QString(), r.invoice + 0.0);
        case Order::Family: return std::make_tuple(r.family, r.date, r.time, QString(), 0.0);
        case Order::Time: return std::make_tuple(r.date, r.time, QString(), QString(), 0.0);
        case Order::Total: return std::make_tuple(QString(), QString(), QString(), QString(), r.total);
        case Order::Kind: return std::make_tuple(r.kind, r.family, r.date, r.time, 0.0);
        }
        return std::make_tuple(QString(), QString(), QString(), QString(), 0.0);
    };
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const WaitingPayment& a, const WaitingPayment& b) { return key(a) < key(b); });
    m_rows->setRows(rows);
    if (!rows.isEmpty()) selectGridRow(DBGrid1, 0);
}

} // namespace ph
