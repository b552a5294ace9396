#include "dispensing/ui/moghavemi.h"

#include "catalogue/lookup_list.h"
#include "core/app_context.h"
#include "core/clock.h"
#include "core/prompter.h"
#include "dispensing/insurer_code.h"
#include "dispensing/invoice_search.h"
#include "dispensing/ui/froosh_darou_texts.h"
#include "dispensing/ui/search_factor.h"
#include "insurance/doctor_store.h"
#include "insurance/insurer_store.h"
#include "widgets/code_field.h"
#include "widgets/command_bar.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/picker.h"
#include "widgets/window_tools.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace ph {
namespace {

const QString kInsurerEmpty = QStringLiteral("کد بيمه وارد نشده است");
const QString kInsurerZero = QStringLiteral("کد بيمه نبايد صفر باشد");
const QString kNoInsurer = QStringLiteral("کد بيمه مشخص نشده است");
const QString kBookletEmpty = QStringLiteral("شماره سريال را بايد وارد كنيد");
const QString kBookletShort = QStringLiteral("شماره سريال نمي تواند كمتراز شش كاراكترباشد");
const QString kAskNumber = QStringLiteral("شماره نسخه مورد نظر را واردكنيد");
const QString kNumberNotFound = QStringLiteral("شماره نسخه وارد شده پيدا نشد");
const char16_t* const kSearchMenu[] = {u"براساس شماره فاكتور", u"براساس نام خانوادگي", u"براساس تاريخ نسخه",
                                       u"براساس شماره دفترچه بيمه", u"براساس كد نسخه"};

QLineEdit* readOnly(QWidget* parent, const char* name) {
    QLineEdit* field = makeLineField(parent, QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

CodeField* codeField(QWidget* parent, const char* name, int digits) {
    auto* field = new CodeField(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setMaxDigits(digits);
    return field;
}

DateField* dateField(QWidget* parent, const char* name, DateField::Year year) {
    auto* field = new DateField(year, parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

} // namespace

Tf_moghavemi::Tf_moghavemi(const WindowContext& windows, QWidget* parent)
    : QDialog(parent), m_windows(windows), m_session(windows.db, windows.prompter) {
    setObjectName(QStringLiteral("f_moghavemi"));
    setWindowTitle(QStringLiteral("فــــــرم مقومي"));
    setLayoutDirection(Qt::RightToLeft);
    makeFields();
    makeCommands();
    makeSearchMenu();
    makeLayout();
}

void Tf_moghavemi::makeFields() {
    Database& db = m_windows.db;
    Prompter& prompter = m_windows.prompter;
    me_code_bime = codeField(this, "me_code_bime", 4);
    me_name_bime = readOnly(this, "me_name_bime");
    me_code_bime->setLookup([&db](qint64 code) { return InsurerStore(db).nameOf(int(code)); }, me_name_bime, prompter);
    me_code_bime->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_code_bime, QStringLiteral("bime_moghavemi"), InsurerStore(m_windows.db).pickRows());
        });
        me_code_bime->setFocus(Qt::TabFocusReason);
    });
    me_ctype_no = codeField(this, "me_ctype_no", 2);
    me_ntype_no = readOnly(this, "me_ntype_no");
    me_ctype_no->setLookup(
        [&db](qint64 code) { return LookupList(db, LookupKind::PrescriptionTypes).nameOf(code); }, me_ntype_no, prompter);
    me_ctype_no->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_ctype_no, QStringLiteral("type_noskhe_moghavemi"),
                     prescriptionTypePickRows(m_windows.db));
        });
        me_ctype_no->setFocus(Qt::TabFocusReason);
    });
    me_date_no1 = dateField(this, "me_date_no1", DateField::Year::TwoDigits);
    me_sh_bime = makeLineField(this, QStringLiteral("me_sh_bime"));
    me_family = makeLineField(this, QStringLiteral("me_family"));
    me_name_bimar = makeLineField(this, QStringLiteral("me_name_bimar"));
    me_date_bime1 = dateField(this, "me_date_bime1", DateField::Year::FourDigits);
    me_nezam_pe = makeLineField(this, QStringLiteral("me_nezam_pe"));
    me_family_pe = makeLineField(this, QStringLiteral("me_family_pe"));
    me_name_pe = makeLineField(this, QStringLiteral("me_name_pe"));
    me_sh_factor = readOnly(this, "me_sh_factor");
    me_code_no = readOnly(this, "me_code_no");
    me_koll = makeLineField(this, QStringLiteral("me_koll"));
    me_koll->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), me_koll));
    me_sazman = readOnly(this, "me_sazman");
    me_bimar = readOnly(this, "me_bimar");
    for (QLineEdit* field : {me_sh_bime, me_nezam_pe})
        field->installEventFilter(this);
    connect(me_nezam_pe, &QLineEdit::textEdited, this, [this] { guarded(m_windows.prompter, [this] { councilChanged(); }); });
    connect(me_koll, &QLineEdit::textChanged, this, [this] { guarded(m_windows.prompter, [this] { totalChanged(); }); });

    m_nav = new KeyNav({me_code_bime, me_ctype_no, me_date_no1, me_sh_bime, me_family, me_name_bimar, me_date_bime1,
                        me_nezam_pe, me_family_pe, me_name_pe, me_koll},
                       this);
    const auto checked = [this](bool (Tf_moghavemi::*left)()) {
        return [this, left] {
            bool moves = false;
            guarded(m_windows.prompter, [&] { moves = (this->*left)(); });
            return moves;
        };
    };
    m_nav->setEnterHandler(me_code_bime, checked(&Tf_moghavemi::insurerLeft));
    m_nav->setEnterHandler(me_sh_bime, checked(&Tf_moghavemi::bookletLeft));
    m_nav->setEnterHandler(me_nezam_pe, checked(&Tf_moghavemi::councilLeft));
}

void Tf_moghavemi::makeCommands() {
    m_bar = new CommandBar(m_windows.context, m_windows.prompter,
                           CommandBar::DataWindow | CommandBar::Navigation | CommandBar::Sort, this);
    m_bar->nameButtons({
        {CommandBar::Save, "but_ok", u"ثبت F2"},          {CommandBar::Edit, "but_eslah", u"ويرايش F3"},
        {CommandBar::Delete, "but_delete_f", u"حذف F4"},  {CommandBar::Sort, "but_search", u"جستجوCtrl+S"},
        {CommandBar::New, "but_enseraf", u"جديد/انصراف F9"}, {CommandBar::Close, "but_close", u"خروجF10"},
    });
    m_bar->setKeys(CommandBar::Close, {QKeySequence(Qt::Key_F10)});
    m_bar->setHandler(CommandBar::Save, [this] { guarded(m_windows.prompter, [this] { save(); }); });
    m_bar->setHandler(CommandBar::Edit, [this] { guarded(m_windows.prompter, [this] { edit(); }); });
    m_bar->setHandler(CommandBar::Delete, [this] { guarded(m_windows.prompter, [this] { remove(); }); });
    m_bar->setHandler(CommandBar::New, [this] { guarded(m_windows.prompter, [this] { clearAll(); }); });
    m_bar->setHandler(CommandBar::Close, [this] { reject(); });
    const QPair<CommandBar::Command, int> steps[] = {
        {CommandBar::First, -2}, {CommandBar::Previous, -1}, {CommandBar::Next, 1}, {CommandBar::Last, 2}};
    for (const auto& [command, direction] : steps)
        m_bar->setHandler(command, [this, direction = direction] {
            guarded(m_windows.prompter, [this, direction] { step(direction); });
        });
}

void Tf_moghavemi::makeSearchMenu() {
    m_searchMenu = new QMenu(this);
    m_searchMenu->setObjectName(QStringLiteral("PopupMenu1"));
    for (int i = 0; i < int(std::size(kSearchMenu)); ++i) {
        QAction* action = m_searchMenu->addAction(QString::fromUtf16(kSearchMenu[i]));
        action->setObjectName(QStringLiteral("N%1").arg(i + 1));
        if (i == 0)
            connect(action, &QAction::triggered, this, [this] { guarded(m_windows.prompter, [this] { searchByNumber(); }); });
        else
            connect(action, &QAction::triggered, this,
                    [this, i] { guarded(m_windows.prompter, [this, i] { searchInvoices(i); }); });
    }
    QPushButton* button = m_bar->button(CommandBar::Sort);
    m_bar->setHandler(CommandBar::Sort, [this, button] {
        m_searchMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
}

void Tf_moghavemi::makeLayout() {
    auto* grid = new QGridLayout;
    int row = 0;
    const auto add = [&](const QString& caption, QWidget* field, QWidget* beside = nullptr) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(field, row, 1);
        if (beside) grid->addWidget(beside, row, 2);
        ++row;
    };
    add(QStringLiteral("كد بيمه :"), me_code_bime, me_name_bime);
    add(QStringLiteral("نوع نسخه :"), me_ctype_no, me_ntype_no);
    add(QStringLiteral("تاريخ نسخه :"), me_date_no1);
    add(QStringLiteral("شماره دفترچه بيمه :"), me_sh_bime);
    add(QStringLiteral("نام خانوادگي:"), me_family);
    add(QStringLiteral("نام : "), me_name_bimar);
    add(QStringLiteral("تاريخ اعتبار:"), me_date_bime1);
    add(QStringLiteral("نظام پزشكي:"), me_nezam_pe);
    add(QStringLiteral("نام خانوادگي پزشك :"), me_family_pe, me_name_pe);
    add(QStringLiteral("شماره نسخه :"), me_sh_factor, me_code_no);
    add(QStringLiteral("جمع کل : "), me_koll);
    add(QStringLiteral("سهم سازمان : "), me_sazman);
    add(QStringLiteral("سهم بيمار : "), me_bimar);
    auto* box = new QGroupBox(this);
    box->setLayout(grid);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(false);
    m_userPanel = new QLabel(this);
    m_timePanel = new QLabel(this);
    m_datePanel = new QLabel(this);
    for (QLabel* panel : {m_userPanel, m_timePanel, m_datePanel})
        status->addWidget(panel, 1);
    m_timer = new QTimer(this);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_timePanel->setText(texts::kTimePanel + m_windows.clock.now().toString(QStringLiteral("HH:mm")));
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(box, 1);
    layout->addWidget(status);
    resize(760, 520);
}

void Tf_moghavemi::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_userPanel->setText(texts::kUserPanel + m_windows.context.user_name);
    m_timePanel->setText(texts::kTimePanel + m_windows.clock.now().toString(QStringLiteral("HH:mm")));
    m_datePanel->setText(texts::kDatePanel + m_windows.context.current_date);
    m_timer->start();
    guarded(m_windows.prompter, [this] { clearAll(); });
}

bool Tf_moghavemi::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_PageDown &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        if (watched == me_sh_bime) {
            pickBooklet();
            return true;
        }
        if (watched == me_nezam_pe) {
            pickPrescriber();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tf_moghavemi::clearAll() {
    m_shown.reset();
    for (QLineEdit* field : {static_cast<QLineEdit*>(me_code_bime), me_name_bime, me_sh_bime, me_family, me_name_bimar,
                             me_nezam_pe, me_family_pe, me_name_pe, me_code_no, me_koll, me_sazman, me_bimar,
                             static_cast<QLineEdit*>(me_date_no1), static_cast<QLineEdit*>(me_date_bime1)})
        field->clear();
    me_ctype_no->setText(QStringLiteral("1"));
    me_sh_factor->setText(QString::number(m_session.store().nextNumber()));
    m_bar->clearDocument();
    me_code_bime->setFocus(Qt::OtherFocusReason);
}

void Tf_moghavemi::show(const LumpPrescription& p) {
    m_shown = p.invoiceNumber;
    me_code_bime->setText(p.insurer);
    me_ctype_no->setText(p.typeCode);
    me_date_no1->setStoredText(p.date);
    me_sh_bime->setText(p.booklet);
    me_family->setText(p.family);
    me_name_bimar->setText(p.name);
    me_date_bime1->setStoredText(p.validity);
    me_nezam_pe->setText(p.council);
    councilChanged();
    me_sh_factor->setText(QString::number(p.invoiceNumber));
    me_code_no->setText(p.code);
    me_koll->setText(p.total);
    me_sazman->setText(p.insurerShare);
    me_bimar->setText(p.patientShare);
    m_bar->showDocument();
}

void Tf_moghavemi::showNumber(int invoiceNumber) {
    if (const std::optional<LumpPrescription> p = m_session.store().load(invoiceNumber)) show(*p);
}

LumpPrescription Tf_moghavemi::onScreen() const {
    LumpPrescription p;
    p.invoiceNumber = m_shown.value_or(0);
    p.code = me_code_no->text();
    p.insurer = me_code_bime->text();
    p.typeCode = me_ctype_no->text();
    p.date = me_date_no1->storedText();
    p.booklet = me_sh_bime->text();
    p.family = me_family->text();
    p.name = me_name_bimar->text();
    p.validity = me_date_bime1->storedText();
    p.council = me_nezam_pe->text();
    p.prescriberFamily = me_family_pe->text();
    p.prescriberName = me_name_pe->text();
    p.total = me_koll->text();
    p.insurerShare = me_sazman->text();
    p.patientShare = me_bimar->text();
    return p;
}

void Tf_moghavemi::focusField(const QString& name) {
    if (name.isEmpty()) return;
    if (auto* field = findChild<QWidget*>(name)) field->setFocus(Qt::OtherFocusReason);
}

bool Tf_moghavemi::insurerLeft() {
    const QString code = me_code_bime->text().trimmed();
    if (code.isEmpty() || code.toInt() == 0) {
        m_windows.prompter.warning(code.isEmpty() ? kInsurerEmpty : kInsurerZero);
        me_code_bime->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!me_code_bime->acceptCode()) return false;
    const QString written = InsurerCode::fromText(code).text();
    if (written != code) me_code_bime->setText(written);
    return true;
}

bool Tf_moghavemi::bookletLeft() {
    const QString booklet = me_sh_bime->text().trimmed();
    if (me_code_bime->text().trimmed().isEmpty()) {
        m_windows.prompter.warning(kNoInsurer);
        me_code_bime->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (booklet.isEmpty() || booklet.size() < 6) {
        m_windows.prompter.warning(booklet.isEmpty() ? kBookletEmpty : kBookletShort);
        me_sh_bime->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (const std::optional<BookletPatient> patient = m_session.store().patientByBooklet(booklet)) {
        me_name_bimar->setText(patient->name);
        me_family->setText(patient->family);
        if (!patient->validity.isEmpty()) me_date_bime1->setStoredText(patient->validity);
        me_nezam_pe->setFocus(Qt::OtherFocusReason);
    } else {
        me_name_bimar->clear();
        me_family->clear();
        me_family->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

void Tf_moghavemi::councilChanged() {
    const std::optional<Doctor> doctor = DoctorStore(m_windows.db).findByCouncilNumber(me_nezam_pe->text());
    if (doctor) {
        me_name_pe->setText(doctor->name);
        me_family_pe->setText(doctor->family);
    } else {
        me_name_pe->clear();
    }
}

bool Tf_moghavemi::councilLeft() {
    if (DoctorStore(m_windows.db).findByCouncilNumber(me_nezam_pe->text())) {
        me_koll->setFocus(Qt::OtherFocusReason);
    } else {
        me_name_pe->clear();
        me_family_pe->clear();
        me_family_pe->setFocus(Qt::OtherFocusReason);
    }
    return false;
}

void Tf_moghavemi::totalChanged() {
    const LumpPrescriptionSession::Shares shares = m_session.shares(me_koll->text(), me_code_bime->text());
    me_sazman->setText(shares.insurer);
    me_bimar->setText(shares.patient);
}

void Tf_moghavemi::pickBooklet() {
    if (!m_windows.picker) return;
    const std::optional<int> insurer = InsurerCode::fromText(me_code_bime->text()).number();
    if (!insurer) return;
    std::optional<PickRow> chosen;
    guarded(m_windows.prompter, [&] {
        chosen = m_windows.picker->pick({QStringLiteral("bimaran_moghavemi"), m_session.store().bookletPickRows(*insurer)});
    });
    me_sh_bime->setFocus(Qt::TabFocusReason);
    if (!chosen) return;
    me_sh_bime->setText(chosen->code.toString());
    me_name_bimar->setText(chosen->extra.value(QStringLiteral("name_b")).toString());
    me_family->setText(chosen->extra.value(QStringLiteral("family_b")).toString());
}

void Tf_moghavemi::pickPrescriber() {
    if (!m_windows.picker) return;
    std::optional<PickRow> chosen;
    guarded(m_windows.prompter, [&] {
        chosen = m_windows.picker->pick(
            {QStringLiteral("nezam_p_moghavemi"), DoctorStore(m_windows.db).prescriberPickRows()});
    });
    me_nezam_pe->setFocus(Qt::TabFocusReason);
    if (!chosen) return;
    me_nezam_pe->setText(chosen->code.toString());
    me_name_pe->setText(chosen->extra.value(QStringLiteral("name")).toString());
    me_family_pe->setText(chosen->extra.value(QStringLiteral("family")).toString());
}

AuditOrigin Tf_moghavemi::auditOrigin() const {
    return AuditOrigin::here(m_windows.context.user_code, QStringLiteral("Tf_moghavemi"));
}

void Tf_moghavemi::save() {
    const LumpPrescriptionSession::Outcome outcome =
        m_session.save(onScreen(), auditOrigin(), m_windows.context.current_date);
    if (!outcome.done) return focusField(outcome.focus);
    // Insurer, type, date and prescriber stay for the next prescription.
    m_shown.reset();
    for (QLineEdit* field : {me_sh_bime, me_family, me_name_bimar, me_code_no, me_koll, me_sazman, me_bimar,
                             static_cast<QLineEdit*>(me_date_bime1)})
        field->clear();
    me_sh_factor->setText(QString::number(m_session.store().nextNumber()));
    m_bar->clearDocument();
    me_date_no1->setFocus(Qt::OtherFocusReason);
}

void Tf_moghavemi::edit() {
    if (!m_shown) return;
    const LumpPrescriptionSession::Outcome outcome =
        m_session.edit(onScreen(), auditOrigin(), m_windows.context.current_date);
    if (!outcome.done) return focusField(outcome.focus);
    clearAll();
}

void Tf_moghavemi::remove() {
    if (!m_shown) return;
    if (m_session.remove(*m_shown, auditOrigin()).done) clearAll();
}

void Tf_moghavemi::step(int direction) {
    LumpPrescriptionStore& store = m_session.store();
    std::optional<int> target;
    if (direction == -2) target = store.first();
    else if (direction == 2) target = store.last();
    else if (m_shown) target = direction < 0 ? store.previous(*m_shown) : store.next(*m_shown);
    // From the cleared screen the stored prescriptions end just before the number shown.
    else target = direction < 0 ? store.previous(me_sh_factor->text().toInt()) : store.last();
    if (target) showNumber(*target);
}

void Tf_moghavemi::searchByNumber() {
    const PromptAnswer answer = m_windows.prompter.prompt(kAskNumber);
    if (!answer.accepted()) return;
    bool isNumber = false;
    const int number = answer.text.trimmed().toInt(&isNumber);
    const std::optional<LumpPrescription> found = isNumber ? m_session.store().load(number) : std::nullopt;
    if (!found) {
        m_windows.prompter.warning(kNumberNotFound);
        clearAll();
        return;
    }
    show(*found);
}

void Tf_moghavemi::searchInvoices(int kind) {
    if (!m_invoiceSearch) m_invoiceSearch = new TF_search_factor(m_windows, this);
    if (const std::optional<int> chosen = m_invoiceSearch->choose(SearchContext::Moghavemi, kind)) showNumber(*chosen);
}

} // namespace ph
