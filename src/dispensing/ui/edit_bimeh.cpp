#include "dispensing/ui/edit_bimeh.h"

#include "core/app_context.h"
#include "core/prompter.h"
#include "dispensing/bulk_insurer_change.h"
#include "insurance/insurer_store.h"
#include "widgets/code_field.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/window_tools.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kUnknownFile = QStringLiteral("اين شماره پرونده وجود ندارد");
const QString kDone = QStringLiteral("تغيير بيمه انجام شد");

} // namespace

Tedit_bimeh::Tedit_bimeh(const WindowContext& windows, QWidget* parent) : QDialog(parent), m_windows(windows) {
    setObjectName(QStringLiteral("edit_bimeh"));
    setWindowTitle(QStringLiteral("تغيير بيمه"));
    setLayoutDirection(Qt::RightToLeft);
    makeFields();
    makeLayout();
}

void Tedit_bimeh::makeFields() {
    sh_parvandeh = makeLineField(this, QStringLiteral("sh_parvandeh"));
    name = new QLabel(this);
    name->setObjectName(QStringLiteral("name"));
    me_date1 = DateField::yearFirst(this);
    me_date1->setObjectName(QStringLiteral("me_date1"));
    me_date2 = DateField::yearFirst(this);
    me_date2->setObjectName(QStringLiteral("me_date2"));
    me_code_bime = new CodeField(this);
    me_code_bime->setObjectName(QStringLiteral("me_code_bime"));
    me_code_bime->setToolTip(QStringLiteral("امكان استفاده از كليد Page Down"));
    me_code_bime->setPlaceholderText(QStringLiteral("امكان استفاده از كليد Page Down"));
    me_name_bime = makeLineField(this, QStringLiteral("me_name_bime"));
    me_name_bime->setReadOnly(true);
    me_name_bime->setFocusPolicy(Qt::NoFocus);
    Database& db = m_windows.db;
    me_code_bime->setLookup([&db](qint64 code) { return InsurerStore(db).nameOf(int(code)); }, me_name_bime,
                            m_windows.prompter);
    me_code_bime->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_code_bime, QStringLiteral("bime1"), InsurerStore(m_windows.db).pickRows());
        });
        me_code_bime->setFocus(Qt::TabFocusReason);
    });

    Button1 = new QPushButton(QStringLiteral("تاييد  "), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAutoDefault(false);
    but_cancel = new QPushButton(QStringLiteral("خروج "), this);
    but_cancel->setObjectName(QStringLiteral("but_cancel"));
    but_cancel->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] {
        bool done = false;
        guarded(m_windows.prompter, [&] { done = runChange(); });
        if (done) accept();
    });
    connect(but_cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_nav = new KeyNav({sh_parvandeh, me_date1, me_date2, me_code_bime}, this);
    m_nav->setEnterHandler(sh_parvandeh, [this] {
        bool moves = false;
        guarded(m_windows.prompter, [&] { moves = fileNumberLeft(); });
        return moves;
    });
    m_nav->setEnterHandler(me_code_bime, [this] {
        if (!me_code_bime->text().isEmpty() && !me_code_bime->acceptCode()) return false;
        guarded(m_windows.prompter, [this] { runChange(); });
        return false;
    });
}

void Tedit_bimeh::makeLayout() {
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("شماره پرونده:"), this), 0, 0);
    grid->addWidget(sh_parvandeh, 0, 1);
    grid->addWidget(name, 0, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("تاريخ  از: "), this), 1, 0);
    grid->addWidget(me_date1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("تا"), this), 1, 2);
    grid->addWidget(me_date2, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("بيمه جديد:"), this), 2, 0);
    grid->addWidget(me_code_bime, 2, 1);
    grid->addWidget(me_name_bime, 2, 2, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(but_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(520, 170);
}

void Tedit_bimeh::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    sh_parvandeh->clear();
    me_code_bime->clear();
    me_name_bime->clear();
    name->clear();
    me_date1->clear();
    me_date2->clear();
    sh_parvandeh->setFocus(Qt::OtherFocusReason);
}

bool Tedit_bimeh::fileNumberLeft() {
    const QString number = sh_parvandeh->text().trimmed();
    if (number.isEmpty()) {
        name->clear();
        return true;
    }
    const std::optional<QString> patient = BulkInsurerChange(m_windows.db).patientOfFile(number);
    if (!patient) {
        name->clear();
        sh_parvandeh->clear();
        m_windows.prompter.warning(kUnknownFile);
        sh_parvandeh->setFocus(Qt::OtherFocusReason);
        return false;
    }
    name->setText(*patient);
    return true;
}

bool Tedit_bimeh::runChange() {
    const InsurerChangeRequest request{sh_parvandeh->text(), me_date1->displayText(), me_date2->displayText(),
                                       me_code_bime->text(),
                                       AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tedit_bimeh"))};
    const InsurerChangeOutcome outcome = BulkInsurerChange(m_windows.db).run(request);
    if (outcome.refused) {
        m_windows.prompter.warning(outcome.refused->message);
        if (auto* field = findChild<QWidget*>(outcome.refused->focus)) field->setFocus(Qt::OtherFocusReason);
        return false;
    }
    m_windows.prompter.information(kDone);
    return true;
}

} // namespace ph
