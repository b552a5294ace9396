#include "dispensing/ui/sorathesab_b.h"

#include "catalogue/lookup_list.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "dispensing/inpatient_bill.h"
#include "dispensing/print/inpatient_bill_print.h"
#include "print/report_output.h"
#include "widgets/code_field.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/window_tools.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kNoFile = QStringLiteral("اين شماره پرونده وجود ندارد");
const QString kFileMissing = QStringLiteral("شماره درخواست مشخص نشده است");
const QString kDatesMissing = QStringLiteral("محدوده تاريخي مشخص نشده است");
const QString kNothing = QStringLiteral(" گزارشي با اين مشخصات وجود ندارد");

} // namespace

Tsorathesab_b::Tsorathesab_b(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("sorathesab_b"));
    setWindowTitle(QStringLiteral("صورتحساب بيمار"));
    sh_parvandeh = makeLineField(this, QStringLiteral("sh_parvandeh"));
    me_code_bakhsh = new CodeField(this);
    me_code_bakhsh->setObjectName(QStringLiteral("me_code_bakhsh"));
    me_name_bakhsh = makeLineField(this, QStringLiteral("me_name_bakhsh"));
    me_name_bakhsh->setReadOnly(true);
    me_name_bakhsh->setFocusPolicy(Qt::NoFocus);
    Database& db = windows.db;
    me_code_bakhsh->setLookup([&db](qint64 code) { return activeWardName(db, code); }, me_name_bakhsh,
                              windows.prompter);
    me_code_bakhsh->setPicker(
        [this] { pickCode(m_windows, me_code_bakhsh, QStringLiteral("place"), activeWardPickRows(m_windows.db)); });
    me_date1 = new DateField(DateField::Year::TwoDigits, this);
    me_date1->setObjectName(QStringLiteral("me_date1"));
    me_date2 = new DateField(DateField::Year::TwoDigits, this);
    me_date2->setObjectName(QStringLiteral("me_date2"));
    la_name_b = new QLabel(this);
    la_name_b->setObjectName(QStringLiteral("la_name_b"));
    la_bimeh = new QLabel(this);
    la_bimeh->setObjectName(QStringLiteral("la_bimeh"));
    but_ok = new QPushButton(QStringLiteral("تاييد  F2"), this);
    but_ok->setObjectName(QStringLiteral("but_ok"));
    but_cancel = new QPushButton(QStringLiteral("خروج F10"), this);
    but_cancel->setObjectName(QStringLiteral("but_cancel"));
    for (QPushButton* button : {but_ok, but_cancel})
        button->setAutoDefault(false);
    connect(but_ok, &QPushButton::clicked, this, [this] { guarded(m_windows.prompter, [this] { run(); }); });
    connect(but_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* f2 = new QShortcut(QKeySequence(Qt::Key_F2), this);
    connect(f2, &QShortcut::activated, but_ok, &QPushButton::click);
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, &QDialog::reject);

    // Enter: the file number -> the ward -> the start date -> the end date, which runs the bill.
    m_nav = new KeyNav({sh_parvandeh, me_code_bakhsh, me_date1, me_date2}, this);
    m_nav->setEnterHandler(sh_parvandeh, [this] {
        bool found = true;
        guarded(m_windows.prompter, [&] { found = lookUpFile(); });
        return found;
    });
    m_nav->setLastAction([this] { guarded(m_windows.prompter, [this] { run(); }); });

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("شماره پرونده:"), sh_parvandeh);
    auto* ward = new QHBoxLayout;
    ward->addWidget(me_code_bakhsh);
    ward->addWidget(me_name_bakhsh, 1);
    fields->addRow(QStringLiteral("بخش:"), ward);
    auto* dates = new QHBoxLayout;
    dates->addWidget(me_date1);
    dates->addWidget(new QLabel(QStringLiteral("تا"), this));
    dates->addWidget(me_date2);
    dates->addStretch(1);
    fields->addRow(QStringLiteral("تاريخ گزارش از: "), dates);
    fields->addRow(la_name_b);
    fields->addRow(la_bimeh);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(but_ok);
    buttons->addWidget(but_cancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

void Tsorathesab_b::setFileNumber(const QString& number) {
    m_presetFile = number;
}

void Tsorathesab_b::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    la_name_b->clear();
    if (!m_presetFile.isNull()) {
        sh_parvandeh->setText(m_presetFile);
        m_presetFile = QString();
    }
    sh_parvandeh->setFocus();
}

bool Tsorathesab_b::lookUpFile() {
    const QString number = sh_parvandeh->text().trimmed();
    if (number.isEmpty()) return true;
    const std::optional<BillPatient> patient = InpatientBillStore(m_windows.db).findFile(number);
    if (!patient) {
        la_name_b->clear();
        la_bimeh->clear();
        sh_parvandeh->clear();
        m_windows.prompter.warning(kNoFile);
        sh_parvandeh->setFocus();
        return false;
    }
    la_name_b->setText(patient->name);
    la_bimeh->setText(patient->insurer);
    return true;
}

void Tsorathesab_b::run() {
    const QString number = sh_parvandeh->text().trimmed();
    if (number.isEmpty()) {
        m_windows.prompter.warning(kFileMissing);
        sh_parvandeh->setFocus();
        return;
    }
    for (DateField* date : {me_date1, me_date2})
        if (!date->isValidDate()) {
            m_windows.prompter.warning(kDatesMissing);
            date->setFocus();
            return;
        }
    if (la_name_b->text().isEmpty() && !lookUpFile()) return;
    BillRequest request{number, me_date1->storedText(), me_date2->storedText(), std::nullopt};
    if (me_code_bakhsh->code() && !me_name_bakhsh->text().isEmpty()) request.ward = *me_code_bakhsh->code();
    const InpatientBill bill = InpatientBillStore(m_windows.db).read(request);
    if (bill.isEmpty()) {
        m_windows.prompter.warning(kNothing);
        me_date1->setFocus();
        return;
    }
    const BillHeading heading{m_windows.context.pharmacy_name,
                              number,
                              la_name_b->text(),
                              la_bimeh->text(),
                              request.fromDate,
                              request.toDate,
                              m_windows.context.current_date,
                              m_windows.clock.now().toString(QStringLiteral("HH:mm"))};
    const print::Report report = inpatientBillReport(bill, heading);
    if (m_output) {
        m_output(report);
        return;
    }
    const print::OutputResult result = print::preview(report, this);
    if (result.status == print::OutputResult::Status::Failed) m_windows.prompter.warning(result.message);
}

} // namespace ph
