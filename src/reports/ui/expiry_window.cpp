#include "reports/ui/expiry_window.h"

#include "core/amounts.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "reports/print/report_prints.h"
#include "widgets/guarded.h"
#include "widgets/list_grid.h"
#include "widgets/row_table_model.h"
#include "widgets/window_tools.h"

#include <QBrush>
#include <QColor>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {

// The rows of the list; an expired lot is tinted so that it stands apart from the near ones.
class ExpiryTableModel : public RowTableModel<ExpiryRow> {
public:
    explicit ExpiryTableModel(QObject* parent)
        : RowTableModel<ExpiryRow>(
              {{QStringLiteral("كد دارو"), [](const ExpiryRow& r) { return QVariant(r.item); }},
               {QStringLiteral("نام دارو"), [](const ExpiryRow& r) { return QVariant(r.name); }},
               {QStringLiteral("سري ساخت"), [](const ExpiryRow& r) { return QVariant(r.batch); }},
               {QStringLiteral("تاريخ انقضا"), [](const ExpiryRow& r) { return QVariant(r.expiryText); }},
               {QStringLiteral("وضعيت"),
                [](const ExpiryRow& r) { return QVariant(r.expired ? texts::kExpiredMark : QString()); }},
               {QStringLiteral("تعداد"), [](const ExpiryRow& r) { return QVariant(r.quantity); }},
               {QStringLiteral("قيمت واحد"), [](const ExpiryRow& r) { return QVariant(r.unitPrice); }},
               {QStringLiteral("ارزش"), [](const ExpiryRow& r) { return QVariant(r.value); }}},
              parent) {}

    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::BackgroundRole && hasRow(index.row()) && row(index.row()).expired)
            return QBrush(QColor(0xF8, 0xD7, 0xDA));
        if (role == Qt::ForegroundRole && hasRow(index.row()) && row(index.row()).expired)
            return QBrush(QColor(0x84, 0x20, 0x29));
        return RowTableModel<ExpiryRow>::data(index, role);
    }
};

Tf_engheza::Tf_engheza(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_outputs(ReportOutputs::dialogs(windows.prompter)) {
    setObjectName(QStringLiteral("Tf_engheza"));
    setWindowTitle(texts::kExpiryTitle);
    setLayoutDirection(Qt::RightToLeft);

    me_days = makeLineField(this, QStringLiteral("me_days"));
    me_days->setValidator(new QIntValidator(0, kMostExpiryDays, me_days));
    me_days->setMaximumWidth(me_days->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    me_days->installEventFilter(this);
    m_rows = new ExpiryTableModel(this);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_rows);
    setCodeColumns(DBGrid1, {0});
    setTextColumn(DBGrid1, 1);
    me_koll = makeLineField(this, QStringLiteral("me_koll"));
    me_koll->setReadOnly(true);
    me_koll->setFocusPolicy(Qt::NoFocus);

    but_ok = makeCommandButton(this, "but_ok", QStringLiteral("نمايش F7"));
    but_print = makeCommandButton(this, "but_print", QStringLiteral("چاپ F8"));
    but_excel = makeCommandButton(this, "but_excel", QStringLiteral("ذخيره اكسل"));
    but_close = makeCommandButton(this, "but_close", QStringLiteral("خروج F10"));
    connect(but_ok, &QPushButton::clicked, this, [this] { showList(); });
    connect(but_print, &QPushButton::clicked, this, &Tf_engheza::printList);
    connect(but_excel, &QPushButton::clicked, this, &Tf_engheza::saveSpreadsheet);
    connect(but_close, &QPushButton::clicked, this, &QDialog::close);

    auto* fields = new QHBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("اقلامي كه تا"), this));
    fields->addWidget(me_days);
    fields->addWidget(new QLabel(QStringLiteral("روز ديگر منقضي مي شوند، و اقلام منقضي شده"), this));
    fields->addStretch(1);
    auto* total = new QHBoxLayout;
    total->addStretch(1);
    total->addWidget(new QLabel(QStringLiteral("جمع ارزش:"), this));
    total->addWidget(me_koll);
    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {but_ok, but_print, but_excel, but_close}) commands->addWidget(b);
    auto* main = new QVBoxLayout(this);
    main->addLayout(fields);
    main->addWidget(DBGrid1, 1);
    main->addLayout(total);
    main->addLayout(commands);
    resize(900, 560);
}

Tf_engheza::~Tf_engheza() = default;

void Tf_engheza::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    me_days->setText(QString::number(m_days));
    showList();
    me_days->setFocus(Qt::OtherFocusReason);
    me_days->selectAll();
}

bool Tf_engheza::showList() {
    bool number = false;
    const int days = me_days->text().trimmed().toInt(&number);
    if (!number || days < 0 || days > kMostExpiryDays) {
        m_windows.prompter.warning(QStringLiteral("تعداد روز بايد عددي از 0 تا %1 باشد").arg(kMostExpiryDays));
        me_days->setFocus();
        return false;
    }
    m_days = days;
    return guarded(m_windows.prompter, [&] {
        m_report = nearExpiryReport(m_windows.db, m_windows.clock.now().date(), m_days);
        m_rows->setRows(m_report.rows);
        me_koll->setText(groupedAmountText(m_report.total));
    });
}

ExpiryPrintHeading Tf_engheza::heading() const {
    return {m_windows.context.pharmacy_name, m_windows.context.current_date, m_days};
}

void Tf_engheza::printList() {
    if (!showList()) return;
    guarded(m_windows.prompter, [this] { m_outputs.show(this, expiryPrint(m_report, heading())); });
}

void Tf_engheza::saveSpreadsheet() {
    if (!showList()) return;
    guarded(m_windows.prompter,
            [this] { saveSheet(this, m_outputs, m_windows.prompter, expirySheet(m_report, heading())); });
}

bool Tf_engheza::eventFilter(QObject* watched, QEvent* event) {
    if (watched == me_days && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (showList() && m_rows->rowCount() > 0) DBGrid1->setFocus(Qt::OtherFocusReason);
            return true;
        }
        if (key == Qt::Key_Down && m_rows->rowCount() > 0) {
            DBGrid1->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tf_engheza::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_F7:
            showList();
            return;
        case Qt::Key_F8:
            printList();
            return;
        case Qt::Key_F10:
        case Qt::Key_Escape:
            close();
            return;
        default:
            break;
        }
    }
    QDialog::keyPressEvent(event);
}

} // namespace ph
