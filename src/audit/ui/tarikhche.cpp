#include "audit/ui/tarikhche.h"

#include "audit/ui/history_outputs.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "print/report_output.h"
#include "print/xlsx_table.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/list_grid.h"
#include "widgets/row_table_model.h"
#include "widgets/window_tools.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

namespace ph {
namespace {

// Nothing typed in a date field: the date is left open.
bool isBlank(const DateField* field) {
    QString typed = field->text();
    typed.remove(u'/');
    return typed.trimmed().isEmpty();
}

const QString kSaveSpreadsheet = QStringLiteral("ذخيره اكسل F11");
const QString kSavePdf = QStringLiteral("ذخيره PDF F12");

} // namespace

Tf_tarikhche::Tf_tarikhche(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_outputs(ReportOutputs::dialogs(windows.prompter)) {
    setObjectName(QStringLiteral("Tf_tarikhche"));
    setWindowTitle(texts::kHistoryTitle);
    setLayoutDirection(Qt::RightToLeft);
    buildFields();
    buildGrids();
    buildCommands();
    layOut();
    connect(qApp, &QApplication::focusChanged, this, [this] { refreshHint(); });
}

Tf_tarikhche::~Tf_tarikhche() = default;

void Tf_tarikhche::buildFields() {
    me_date1 = new DateField(DateField::Year::TwoDigits, this);
    me_date1->setObjectName(QStringLiteral("me_date1"));
    me_date2 = new DateField(DateField::Year::TwoDigits, this);
    me_date2->setObjectName(QStringLiteral("me_date2"));
    cb_user = new QComboBox(this);
    cb_user->setObjectName(QStringLiteral("cb_user"));
    cb_kind = new QComboBox(this);
    cb_kind->setObjectName(QStringLiteral("cb_kind"));
    me_key = makeLineField(this, QStringLiteral("me_key"));
    me_key->setLayoutDirection(Qt::LeftToRight);
    lbl_enter = new QLabel(this);
    lbl_enter->setObjectName(QStringLiteral("lbl_enter"));

    m_nav = new KeyNav({me_date1, me_date2, cb_user, cb_kind, me_key}, this);
    for (DateField* date : {me_date1, me_date2})
        m_nav->setEnterHandler(date, [this, date] {
            if (isBlank(date) || date->isValidDate()) return true;
            m_windows.prompter.warning(texts::kHistoryBadDate);
            return false;
        });
    m_nav->setLastAction([this] { guarded(m_windows.prompter, [this] { showEntries(); }); });
}

void Tf_tarikhche::buildGrids() {
    m_entries = new RowTableModel<AuditListedEntry>(
        {{QStringLiteral("زمان"), [](const AuditListedEntry& e) { return QVariant(e.time); }},
         {QStringLiteral("كاربر"), [](const AuditListedEntry& e) { return QVariant(auditUserText(e)); }},
         {QStringLiteral("ايستگاه كاري"), [](const AuditListedEntry& e) { return QVariant(e.entry.host); }},
         {QStringLiteral("فرم/فرمان"), [](const AuditListedEntry& e) { return QVariant(e.entry.source); }},
         {QStringLiteral("نوع سند"), [](const AuditListedEntry& e) { return QVariant(e.kindCaption); }},
         {QStringLiteral("كليد"), [](const AuditListedEntry& e) { return QVariant(e.entry.key); }}},
        this);
    DBGrid1 = makeListGrid(this, QStringLiteral("DBGrid1"), m_entries);
    DBGrid1->installEventFilter(this);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { showChanges(); });

    m_changes = new RowTableModel<AuditChangeLine>(
        {{QStringLiteral("سطر"), [](const AuditChangeLine& c) { return QVariant(c.row); }},
         {QStringLiteral("فيلد"), [](const AuditChangeLine& c) { return QVariant(c.field); }},
         {QStringLiteral("قبل"), [](const AuditChangeLine& c) { return QVariant(c.before); }},
         {QStringLiteral("بعد"), [](const AuditChangeLine& c) { return QVariant(c.after); }}},
        this);
    DBGrid2 = makeListGrid(this, QStringLiteral("DBGrid2"), m_changes);
    DBGrid2->installEventFilter(this);
}

void Tf_tarikhche::buildCommands() {
    but_show = makeCommandButton(this, "but_show", QStringLiteral("نمايش F7"));
    but_print = makeCommandButton(this, "but_print", QStringLiteral("چاپ F8"));
    but_excel = makeCommandButton(this, "but_excel", kSaveSpreadsheet);
    but_pdf = makeCommandButton(this, "but_pdf", kSavePdf);
    but_enseraf = makeCommandButton(this, "but_enseraf", QStringLiteral("جديد/انصراف F9"));
    but_close = makeCommandButton(this, "but_close", QStringLiteral("خروج F10"));
    connect(but_show, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { showEntries(); }); });
    connect(but_print, &QPushButton::clicked, this, &Tf_tarikhche::printHistory);
    connect(but_excel, &QPushButton::clicked, this, &Tf_tarikhche::saveSpreadsheet);
    connect(but_pdf, &QPushButton::clicked, this, &Tf_tarikhche::savePdf);
    connect(but_enseraf, &QPushButton::clicked, this, &Tf_tarikhche::clearFields);
    connect(but_close, &QPushButton::clicked, this, &QDialog::close);
}

void Tf_tarikhche::layOut() {
    auto* title = new QLabel(texts::kHistoryTitle, this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    title->setFont(big);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("از تاريخ:"), this), 0, 0);
    fields->addWidget(me_date1, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("تا تاريخ:"), this), 0, 2);
    fields->addWidget(me_date2, 0, 3);
    fields->addWidget(new QLabel(QStringLiteral("كاربر:"), this), 1, 0);
    fields->addWidget(cb_user, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("نوع سند:"), this), 1, 2);
    fields->addWidget(cb_kind, 1, 3);
    fields->addWidget(new QLabel(QStringLiteral("كليد سند:"), this), 1, 4);
    fields->addWidget(me_key, 1, 5);
    fields->setColumnStretch(6, 1);

    auto* entries = new QWidget(this);
    auto* entriesLayout = new QVBoxLayout(entries);
    entriesLayout->setContentsMargins(0, 0, 0, 0);
    entriesLayout->addWidget(new QLabel(QStringLiteral("تغييرات ثبت شده F5"), entries));
    entriesLayout->addWidget(DBGrid1);
    auto* changes = new QWidget(this);
    auto* changesLayout = new QVBoxLayout(changes);
    changesLayout->setContentsMargins(0, 0, 0, 0);
    changesLayout->addWidget(new QLabel(QStringLiteral("جزئيات تغيير F6"), changes));
    changesLayout->addWidget(DBGrid2);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(entries);
    splitter->addWidget(changes);

    auto* commands = new QHBoxLayout;
    for (QPushButton* b : {but_show, but_print, but_excel, but_pdf, but_enseraf, but_close}) commands->addWidget(b);

    auto* main = new QVBoxLayout(this);
    main->addWidget(title);
    main->addLayout(fields);
    main->addWidget(lbl_enter);
    main->addWidget(splitter, 1);
    main->addLayout(commands);
    resize(1000, 680);
}

void Tf_tarikhche::fillChoices() {
    if (m_choicesFilled) return;
    cb_user->clear();
    cb_user->addItem(QStringLiteral("همه كاربران"));
    for (const AuditUser& user : AuditHistory(m_windows.db).users())
        cb_user->addItem(QStringLiteral("%1 - %2").arg(user.code).arg(user.name), user.code);
    cb_kind->clear();
    cb_kind->addItem(QStringLiteral("همه"), QString());
    for (const AuditKindCaption& kind : auditKindCaptions()) cb_kind->addItem(kind.caption, kind.kind);
    m_choicesFilled = true;
}

void Tf_tarikhche::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The users may have changed since the last showing.
    m_choicesFilled = false;
    const QVariant user = cb_user->currentData();
    const QVariant kind = cb_kind->currentData();
    guarded(m_windows.prompter, [this] { fillChoices(); });
    cb_user->setCurrentIndex(qMax(0, cb_user->findData(user)));
    cb_kind->setCurrentIndex(qMax(0, cb_kind->findData(kind)));
    (m_focusEntries ? static_cast<QWidget*>(DBGrid1) : me_date1)->setFocus(Qt::OtherFocusReason);
    m_focusEntries = false;
    refreshHint();
}

void Tf_tarikhche::showDocument(const QString& kind, const QString& key) {
    guarded(m_windows.prompter, [&] {
        fillChoices();
        me_date1->clear();
        me_date2->clear();
        cb_user->setCurrentIndex(0);
        cb_kind->setCurrentIndex(qMax(0, cb_kind->findData(kind)));
        me_key->setText(key);
        m_focusEntries = showEntries();
    });
}

bool Tf_tarikhche::showEntries() {
    fillChoices();
    for (DateField* date : {me_date1, me_date2}) {
        if (isBlank(date) || date->isValidDate()) continue;
        m_windows.prompter.warning(texts::kHistoryBadDate);
        date->setFocus(Qt::OtherFocusReason);
        return false;
    }
    AuditQuery query;
    query.fromDate = isBlank(me_date1) ? QString() : me_date1->storedText();
    query.toDate = isBlank(me_date2) ? QString() : me_date2->storedText();
    if (const QVariant user = cb_user->currentData(); user.isValid()) query.userCode = user.toInt();
    query.kind = cb_kind->currentData().toString();
    query.key = me_key->text();
    QList<AuditListedEntry> found;
    if (!AuditHistory(m_windows.db).find(query, found)) {
        m_windows.prompter.warning(texts::kHistoryBadDate);
        me_date1->setFocus(Qt::OtherFocusReason);
        return false;
    }
    m_found = found;
    m_entries->setRows(found);
    m_changes->setRows({});
    if (found.isEmpty()) {
        m_windows.prompter.warning(texts::kHistoryNone);
        me_date1->setFocus(Qt::OtherFocusReason);
        return false;
    }
    selectGridRow(DBGrid1, 0);
    showChanges();
    DBGrid1->setFocus(Qt::OtherFocusReason);
    return true;
}

void Tf_tarikhche::showChanges() {
    const int row = currentSourceRow(DBGrid1);
    m_changes->setRows(m_entries->hasRow(row) ? auditChangeLines(m_entries->row(row).entry.changes)
                                              : QList<AuditChangeLine>{});
    if (m_changes->rowCount() > 0 && !DBGrid2->currentIndex().isValid()) selectGridRow(DBGrid2, 0);
}

HistoryHeading Tf_tarikhche::heading() const {
    return {m_windows.context.pharmacy_name, isBlank(me_date1) ? QString() : me_date1->storedText(),
            isBlank(me_date2) ? QString() : me_date2->storedText(), m_windows.context.current_date};
}

// The entries shown, listed now when none are.
bool Tf_tarikhche::haveEntries() { return !m_found.isEmpty() || showEntries(); }

void Tf_tarikhche::printHistory() {
    guarded(m_windows.prompter, [this] {
        if (!haveEntries()) return;
        m_outputs.show(this, historyReport(m_found, heading()));
    });
}

void Tf_tarikhche::saveSpreadsheet() {
    guarded(m_windows.prompter, [this] {
        if (!haveEntries()) return;
        saveSheet(this, m_outputs, m_windows.prompter, historySheet(m_found, heading()));
    });
}

void Tf_tarikhche::savePdf() {
    guarded(m_windows.prompter, [this] {
        if (!haveEntries()) return;
        ph::savePdf(this, m_outputs, m_windows.prompter, kSavePdf, historyReport(m_found, heading()));
    });
}

void Tf_tarikhche::clearFields() {
    me_date1->clear();
    me_date2->clear();
    cb_user->setCurrentIndex(0);
    cb_kind->setCurrentIndex(0);
    me_key->clear();
    m_found.clear();
    m_entries->setRows({});
    m_changes->setRows({});
    me_date1->setFocus(Qt::OtherFocusReason);
}

QString Tf_tarikhche::enterHint() const {
    const QWidget* focus = focusWidget();
    QString next;
    if (focus == me_date1) next = QStringLiteral("رفتن به تا تاريخ");
    else if (focus == me_date2) next = QStringLiteral("رفتن به كاربر");
    else if (focus == cb_user) next = QStringLiteral("رفتن به نوع سند");
    else if (focus == cb_kind) next = QStringLiteral("رفتن به كليد سند");
    else if (focus == me_key) next = QStringLiteral("نمايش تغييرات");
    else if (focus == DBGrid1) next = QStringLiteral("رفتن به جزئيات تغيير");
    else if (focus == DBGrid2) next = QStringLiteral("بازگشت به تغييرات ثبت شده");
    return next.isEmpty() ? QString() : QStringLiteral("Enter: ") + next;
}

void Tf_tarikhche::refreshHint() {
    if (lbl_enter) lbl_enter->setText(enterHint());
}

bool Tf_tarikhche::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == DBGrid1 || watched == DBGrid2)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isEnter(key) && key->modifiers() == Qt::NoModifier) {
            QTableView* next = watched == DBGrid1 ? DBGrid2 : DBGrid1;
            next->setFocus(Qt::OtherFocusReason);
            if (!next->currentIndex().isValid() && next->model()->rowCount() > 0) selectGridRow(next, 0);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tf_tarikhche::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() != Qt::NoModifier && event->modifiers() != Qt::KeypadModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_F5:
        DBGrid1->setFocus(Qt::OtherFocusReason);
        if (!DBGrid1->currentIndex().isValid() && m_entries->rowCount() > 0) selectGridRow(DBGrid1, 0);
        return;
    case Qt::Key_F6:
        DBGrid2->setFocus(Qt::OtherFocusReason);
        if (!DBGrid2->currentIndex().isValid() && m_changes->rowCount() > 0) selectGridRow(DBGrid2, 0);
        return;
    case Qt::Key_F7:
        guarded(m_windows.prompter, [this] { showEntries(); });
        return;
    case Qt::Key_F8:
        printHistory();
        return;
    case Qt::Key_F9:
        clearFields();
        return;
    case Qt::Key_F11:
        saveSpreadsheet();
        return;
    case Qt::Key_F12:
        savePdf();
        return;
    case Qt::Key_F10:
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return; // never the dialog's default button
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace ph
