#include "dispensing/ui/header_panel.h"

#include "catalogue/lookup_list.h"
#include "core/app_context.h"
#include "core/prompter.h"
#include "dispensing/dispensing_texts.h"
#include "dispensing/line_kind.h"
#include "dispensing/prescription_fields.h"
#include "dispensing/prescription_session.h"
#include "dispensing/prescription_store.h"
#include "dispensing/stored_prescriptions.h"
#include "dispensing/ui/froosh_darou_texts.h"
#include "insurance/doctor_store.h"
#include "insurance/ins_no.h"
#include "insurance/insurer_store.h"
#include "insurance/ui/ins_no_frame.h"
#include "widgets/code_field.h"
#include "widgets/date_field.h"
#include "widgets/guarded.h"
#include "widgets/key_nav.h"
#include "widgets/keys.h"
#include "widgets/picker.h"
#include "widgets/window_tools.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScopedValueRollback>

namespace ph {
namespace {

CodeField* makeCode(QWidget* parent, const char* name, int digits) {
    auto* field = new CodeField(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setMaxDigits(digits);
    return field;
}

QLineEdit* makeName(QWidget* parent, const char* name) {
    QLineEdit* field = makeLineField(parent, QString::fromLatin1(name));
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

QLineEdit* makeDigits(QWidget* parent, const char* name) {
    QLineEdit* field = makeLineField(parent, QString::fromLatin1(name));
    field->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), field));
    return field;
}

DateField* makeDate(QWidget* parent, const char* name, DateField::Year year) {
    auto* field = new DateField(year, parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

// A caption beside its field.
QLabel* caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

} // namespace

PrescriptionHeaderPanel::PrescriptionHeaderPanel(const WindowContext& windows, PrescriptionSession& session,
                                                 QWidget* parent)
    : QGroupBox(parent), m_windows(windows), m_session(session) {
    setObjectName(QStringLiteral("Panel1"));
    makeFields();
    makeOrder();
    makeLayout();
    for (QLineEdit* field : findChildren<QLineEdit*>())
        if (!field->isReadOnly()) m_typedFields.append(field);
}

void PrescriptionHeaderPanel::setReadOnly(bool readOnly) {
    for (QLineEdit* field : std::as_const(m_typedFields))
        field->setReadOnly(readOnly);
    paz_type->setEnabled(!readOnly);
    CheckBox1->setEnabled(!readOnly);
}

void PrescriptionHeaderPanel::makeFields() {
    Database& db = m_windows.db;
    Prompter& prompter = m_windows.prompter;

    me_code_bime = makeCode(this, "me_code_bime", 4);
    me_name_bime = makeName(this, "me_name_bime");
    me_code_bime->setLookup([&db](qint64 code) { return InsurerStore(db).nameOf(int(code)); }, me_name_bime,
                            prompter);
    me_code_bime->setNoneCode(0); // a free prescription
    me_code_bime->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_code_bime, QStringLiteral("bime"), InsurerStore(m_windows.db).pickRows());
        });
        me_code_bime->setFocus(Qt::TabFocusReason);
    });
    connect(me_code_bime, &QLineEdit::textChanged, this, &PrescriptionHeaderPanel::showInsurerKind);

    me_sh_bime = new TfraInsNo(this);
    me_sh_bime->setObjectName(QStringLiteral("me_sh_bime"));
    lblDigit = new QLabel(texts::kTenDigits, this);
    lblDigit->setObjectName(QStringLiteral("lblDigit"));
    // Its place is kept while it is hidden, so the fields do not shift when it appears.
    QSizePolicy digitPolicy = lblDigit->sizePolicy();
    digitPolicy.setRetainSizeWhenHidden(true);
    lblDigit->setSizePolicy(digitPolicy);
    lblDigit->hide();
    connect(me_sh_bime->edtMeliCode(), &QLineEdit::textChanged, this,
            [this](const QString& text) { lblDigit->setVisible(text.size() == 10); });
    // The frame moves on by itself after the tenth digit of a social-security number:
    // that leaves the number forwards as Enter does.
    connect(me_sh_bime->edtMeliCode(), &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!m_loading && me_sh_bime->rulesActive() && text.size() == 10) leaveSerial();
    });

    me_family = makeLineField(this, QStringLiteral("me_family"));
    me_family->installEventFilter(this);
    me_name_bimar = makeLineField(this, QStringLiteral("me_name_bimar"));
    sh_safhe = makeLineField(this, QStringLiteral("sh_safhe"));

    paz_type = new QComboBox(this);
    paz_type->setObjectName(QStringLiteral("paz_type"));
    paz_type->addItems({texts::kInpatient, texts::kOutpatient});
    connect(paz_type, &QComboBox::currentIndexChanged, this, &PrescriptionHeaderPanel::updateWard);
    sh_darkhast = makeDigits(this, "sh_darkhast");

    me_code_bakhsh = makeCode(this, "me_code_bakhsh", 9);
    me_name_bakhsh = makeName(this, "me_name_bakhsh");
    me_code_bakhsh->setLookup([&db](qint64 code) { return activeWardName(db, code); }, me_name_bakhsh, prompter);
    me_code_bakhsh->setPicker([this] {
        guarded(m_windows.prompter,
                [this] { pickCode(m_windows, me_code_bakhsh, QStringLiteral("place"), activeWardPickRows(m_windows.db)); });
        me_code_bakhsh->setFocus(Qt::TabFocusReason);
    });

    me_nezam_pe = makeLineField(this, QStringLiteral("me_nezam_pe"));
    me_nezam_pe->setMaxLength(headerFieldWidth(QStringLiteral("nezam_p")));
    me_sh_bime->edtMeliCode()->setMaxLength(headerFieldWidth(QStringLiteral("sh_bimeh")));
    me_family_pe = makeLineField(this, QStringLiteral("me_family_pe"));
    me_name_pe = makeLineField(this, QStringLiteral("me_name_pe"));
    connect(me_nezam_pe, &QLineEdit::textEdited, this, [this](const QString&) {
        guarded(m_windows.prompter, [&] { showPrescriber(CouncilEntry::Typing); });
    });
    me_nezam_pe->installEventFilter(this);

    me_code_takhasos = makeCode(this, "me_code_takhasos", 9);
    me_name_takhasos = makeName(this, "me_name_takhasos");
    me_code_takhasos->setLookup([&db](qint64 code) { return DoctorStore(db).specialtyName(code); },
                                me_name_takhasos, prompter);
    me_code_takhasos->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_code_takhasos, QStringLiteral("takhasos"), DoctorStore(m_windows.db).specialtyPickRows());
        });
        me_code_takhasos->setFocus(Qt::TabFocusReason);
    });

    me_date_bime1 = makeDate(this, "me_date_bime1", DateField::Year::FourDigits);
    me_date_no1 = makeDate(this, "me_date_no1", DateField::Year::TwoDigits);
    me_date_ta1 = makeDate(this, "me_date_ta1", DateField::Year::TwoDigits);
    me_date_ta1->installEventFilter(this);

    me_ctype_no = makeCode(this, "me_ctype_no", 9);
    me_ntype_no = makeName(this, "me_ntype_no");
    me_ctype_no->setLookup(
        [&db](qint64 code) { return LookupList(db, LookupKind::PrescriptionTypes).nameOf(code); }, me_ntype_no,
        prompter);
    me_ctype_no->setPicker([this] {
        guarded(m_windows.prompter, [this] {
            pickCode(m_windows, me_ctype_no, QStringLiteral("type_noskhe"), prescriptionTypePickRows(m_windows.db));
        });
        me_ctype_no->setFocus(Qt::TabFocusReason);
    });

    CheckBox1 = new QCheckBox(QStringLiteral("پرسنل"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    me_sh_factor = makeName(this, "me_sh_factor");
    me_code_no = makeName(this, "me_code_no");
}

void PrescriptionHeaderPanel::makeOrder() {
    m_nav = new KeyNav({me_code_bime, me_sh_bime->edtMeliCode(), me_sh_bime->edtInsNo(), me_sh_bime->edtBookNo(),
                        me_sh_bime->edtPageNo(), me_family, me_name_bimar, sh_safhe, paz_type, sh_darkhast,
                        me_code_bakhsh, me_nezam_pe, me_family_pe, me_name_pe, me_code_takhasos, me_date_bime1,
                        me_date_no1, me_date_ta1, me_ctype_no},
                       this);
    m_nav->setEnterHandler(me_code_bime, [this] { return leaveInsurer(); });
    m_nav->setEnterHandler(me_sh_bime->edtMeliCode(), [this] { return leaveSerial(); });
    m_nav->setEnterHandler(me_nezam_pe, [this] { return leavePrescriber(); });
    // The delivery date and the prescription type lead to the drug lookup.
    m_nav->setEnterHandler(me_date_ta1, [this] {
        emit finished();
        return false;
    });
    m_nav->setEnterHandler(me_ctype_no, [this] {
        if (!me_ctype_no->acceptCode()) return false;
        emit finished();
        return false;
    });
    m_nav->setEnterHandler(paz_type, [this] {
        updateWard();
        return true;
    });
    // Every code field checks its code when left forwards; an unknown one stays.
    for (CodeField* field : {me_code_bakhsh, me_code_takhasos})
        m_nav->setEnterHandler(field, [field] { return field->acceptCode(); });
}

void PrescriptionHeaderPanel::makeLayout() {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setVerticalSpacing(3);
    auto pair = [this](CodeField* code, QLineEdit* name) {
        auto* box = new QHBoxLayout;
        box->setSpacing(2);
        box->addWidget(code, 1);
        box->addWidget(name, 3);
        return box;
    };
    me_code_bime->setMaximumWidth(60);
    me_code_bakhsh->setMaximumWidth(60);
    me_code_takhasos->setMaximumWidth(60);
    me_ctype_no->setMaximumWidth(60);

    // Row 0: insurer, insurance number, invoice number.
    grid->addWidget(caption(QStringLiteral(" بيمــه:"), me_code_bime), 0, 0);
    grid->addLayout(pair(me_code_bime, me_name_bime), 0, 1);
    grid->addWidget(caption(QStringLiteral("شماره بيمه:"), me_sh_bime), 0, 2);
    auto* number = new QHBoxLayout;
    number->addWidget(me_sh_bime, 1);
    number->addSpacing(4);
    number->addWidget(lblDigit);
    number->addSpacing(12); // apart from the invoice number's caption beside it
    grid->addLayout(number, 0, 3, 1, 3);
    grid->addWidget(caption(QStringLiteral("شماره نسخه: "), me_sh_factor), 0, 6);
    grid->addWidget(me_sh_factor, 0, 7);

    // Row 1: the patient.
    grid->addWidget(caption(QStringLiteral("نام خانوادگي:"), me_family), 1, 0);
    grid->addWidget(me_family, 1, 1);
    grid->addWidget(caption(QStringLiteral("نام:"), me_name_bimar), 1, 2);
    grid->addWidget(me_name_bimar, 1, 3);
    grid->addWidget(caption(QStringLiteral("شماره صفحه: "), sh_safhe), 1, 4);
    grid->addWidget(sh_safhe, 1, 5);
    grid->addWidget(caption(QStringLiteral("كد نسخه: "), me_code_no), 1, 6);
    grid->addWidget(me_code_no, 1, 7);

    // Row 2: admission, request number, ward, staff.
    grid->addWidget(caption(QStringLiteral("نوع پذيرش:"), paz_type), 2, 0);
    grid->addWidget(paz_type, 2, 1);
    grid->addWidget(caption(QStringLiteral("شماره درخواست:"), sh_darkhast), 2, 2);
    grid->addWidget(sh_darkhast, 2, 3);
    grid->addWidget(caption(QStringLiteral("بخش:"), me_code_bakhsh), 2, 4);
    grid->addLayout(pair(me_code_bakhsh, me_name_bakhsh), 2, 5);
    grid->addWidget(CheckBox1, 2, 7);

    // Row 3: the prescriber.
    grid->addWidget(caption(QStringLiteral("نظام پزشكي:"), me_nezam_pe), 3, 0);
    grid->addWidget(me_nezam_pe, 3, 1);
    grid->addWidget(caption(QStringLiteral("نام خانوادگي:"), me_family_pe), 3, 2);
    grid->addWidget(me_family_pe, 3, 3);
    grid->addWidget(caption(QStringLiteral("نام:"), me_name_pe), 3, 4);
    grid->addWidget(me_name_pe, 3, 5);
    grid->addWidget(caption(QStringLiteral(" تخصص :"), me_code_takhasos), 3, 6);
    grid->addLayout(pair(me_code_takhasos, me_name_takhasos), 3, 7);

    // Row 4: dates and prescription type.
    grid->addWidget(caption(QStringLiteral("تاريخ اعتبار:"), me_date_bime1), 4, 0);
    grid->addWidget(me_date_bime1, 4, 1);
    grid->addWidget(caption(QStringLiteral("تاريخ نسخه:"), me_date_no1), 4, 2);
    grid->addWidget(me_date_no1, 4, 3);
    grid->addWidget(caption(QStringLiteral("تاريخ تحويل:"), me_date_ta1), 4, 4);
    grid->addWidget(me_date_ta1, 4, 5);
    grid->addWidget(caption(QStringLiteral("نوع نسخه:"), me_ctype_no), 4, 6);
    grid->addLayout(pair(me_ctype_no, me_ntype_no), 4, 7);

    for (int column : {1, 3, 5, 7})
        grid->setColumnStretch(column, 1);
}

QWidget* PrescriptionHeaderPanel::firstField() const {
    return me_code_bime;
}

QWidget* PrescriptionHeaderPanel::field(const QString& objectName) const {
    return findChild<QWidget*>(objectName);
}

void PrescriptionHeaderPanel::clear(const QString& today, const QString& invoiceNumber) {
    CheckBox1->setChecked(false);
    me_sh_factor->setText(invoiceNumber);
    for (QLineEdit* field : {static_cast<QLineEdit*>(me_code_no), me_family, me_name_bimar,
                             static_cast<QLineEdit*>(me_code_takhasos), me_name_takhasos,
                             static_cast<QLineEdit*>(me_code_bakhsh), me_name_bakhsh, sh_darkhast, sh_safhe,
                             me_nezam_pe, me_name_pe, me_family_pe, me_name_bime})
        field->clear();
    me_sh_bime->clear();
    me_date_bime1->setText(QStringLiteral("/ / 14") + today.left(2));
    me_ctype_no->setText(QStringLiteral("1"));
    paz_type->setCurrentIndex(int(Admission::Outpatient));
    updateWard();
    me_code_bime->setText(QStringLiteral("0"));
    me_date_no1->setStoredText(today);
    me_date_ta1->setStoredText(today);
}

void PrescriptionHeaderPanel::showStored(const StoredPrescription& stored, const QString& today) {
    const QScopedValueRollback loading(m_loading, true);
    clear(today, QString());
    const PrescriptionHeader& h = stored.header;
    me_sh_factor->setText(QString::number(stored.invoiceNumber));
    me_date_no1->setStoredText(h.prescriptionDate);
    me_date_ta1->setStoredText(h.deliveryDate);
    if (!h.expiryDate.isEmpty()) me_date_bime1->setStoredText(h.expiryDate);
    me_code_no->setText(stored.code);
    // The insurer first: it decides which parts of the insurance number are open.
    if (!stored.insurerCode.isEmpty()) me_code_bime->setText(stored.insurerCode);
    sh_darkhast->setText(h.requestNumber);
    me_code_bakhsh->setText(h.wardCode);
    paz_type->setCurrentIndex(int(h.admission));
    me_name_bimar->setText(h.name);
    sh_safhe->setText(h.pageNumber);
    me_family->setText(h.family);
    me_nezam_pe->setText(h.prescriberCouncil);
    me_family_pe->setText(h.prescriberFamily);
    me_name_pe->setText(h.prescriberName);
    me_code_takhasos->setText(h.specialtyCode);
    if (!h.typeCode.isEmpty()) me_ctype_no->setText(h.typeCode);
    CheckBox1->setChecked(h.staff);
    if (stored.insNoTamin.isEmpty())
        me_sh_bime->clear();
    else if (isSocialSecurityInsurer(m_windows.context.tamin_codes, me_code_bime->text()))
        me_sh_bime->setDashedText(stored.insNoTamin);
    else
        me_sh_bime->edtMeliCode()->setText(stored.insNoTamin);
    updateWard();
}

void PrescriptionHeaderPanel::setLook(Look look) {
    if (look == Look::New) {
        setAutoFillBackground(false);
        setPalette(QPalette());
        return;
    }
    // The captions take the colour that reads on each background: black on the light blue
    // (5.8:1), white on the dark blue (18:1).
    QPalette shown = palette();
    shown.setColor(QPalette::Window, look == Look::Shown ? QColor(128, 128, 192) : QColor(0, 0, 64));
    shown.setColor(QPalette::WindowText, look == Look::Shown ? QColor(Qt::black) : QColor(Qt::white));
    setPalette(shown);
    setAutoFillBackground(true);
}

PrescriptionHeader PrescriptionHeaderPanel::header() const {
    PrescriptionHeader h;
    h.insNo = me_sh_bime->parts();
    h.family = me_family->text();
    h.name = me_name_bimar->text();
    h.pageNumber = sh_safhe->text();
    h.admission = paz_type->currentIndex() == int(Admission::Inpatient) ? Admission::Inpatient : Admission::Outpatient;
    h.requestNumber = sh_darkhast->text();
    h.wardCode = me_code_bakhsh->text();
    h.prescriberCouncil = me_nezam_pe->text();
    h.prescriberFamily = me_family_pe->text();
    h.prescriberName = me_name_pe->text();
    h.specialtyCode = me_code_takhasos->text();
    h.expiryDate = me_date_bime1->storedText();
    h.prescriptionDate = me_date_no1->storedText();
    h.deliveryDate = me_date_ta1->storedText();
    h.typeCode = me_ctype_no->text();
    h.staff = CheckBox1->isChecked();
    h.invoiceNumber = me_sh_factor->text();
    return h;
}

// Social-security insurers take the four-part number and have no page field.
void PrescriptionHeaderPanel::showInsurerKind(const QString& code) {
    const bool social = isSocialSecurityInsurer(m_windows.context.tamin_codes, code);
    me_sh_bime->setRulesActive(social);
    for (QLineEdit* part : {me_sh_bime->edtInsNo(), me_sh_bime->edtBookNo(), me_sh_bime->edtPageNo()})
        part->setEnabled(social);
    sh_safhe->setEnabled(!social);
}

void PrescriptionHeaderPanel::updateWard() {
    const bool inpatient = paz_type->currentIndex() == int(Admission::Inpatient);
    me_code_bakhsh->setEnabled(inpatient);
    me_name_bakhsh->setEnabled(inpatient);
}

bool PrescriptionHeaderPanel::leaveInsurer() {
    if (!me_code_bime->acceptCode()) return false;
    syncInsurer();
    if (me_code_bime->text().isEmpty()) {
        me_family->setFocus(Qt::TabFocusReason);
        return false;
    }
    return true;
}

void PrescriptionHeaderPanel::syncInsurer() {
    const InsurerCode code = InsurerCode::fromText(me_code_bime->text());
    if (me_code_bime->text() != code.text()) me_code_bime->setText(code.text());
    if (code == m_session.insurer()) return;
    LinePricer::InsurerChange change = LinePricer::InsurerChange::Unchanged;
    guarded(m_windows.prompter, [&] { change = m_session.changeInsurer(code); });
    if (change == LinePricer::InsurerChange::Declined || !(m_session.insurer() == code)) {
        me_code_bime->setText(m_session.insurer().text());
        return;
    }
    emit insurerChanged(change == LinePricer::InsurerChange::Repriced, kindAfterInsurerChange(code));
}

QString PrescriptionHeaderPanel::leaveHeader() {
    syncInsurer();
    const bool empty = m_session.insurer().isEmpty();
    if (empty) {
        me_code_bime->setText(QStringLiteral("0"));
        syncInsurer();
    }
    return empty ? texts::kOtc : kindAfterInsurerChange(m_session.insurer());
}

bool PrescriptionHeaderPanel::leaveSerial() {
    const InsurerCode insurer = m_session.insurer();
    if (!insurer.isInsurer()) return true;
    QLineEdit* serial = me_sh_bime->edtMeliCode();
    const QString number = serial->text();
    if (number.isEmpty() || number.size() < 6) {
        m_windows.prompter.warning(number.isEmpty() ? texts::kSerialMissing : texts::kSerialTooShort);
        serial->setFocus(Qt::TabFocusReason);
        return false;
    }
    const bool social = me_sh_bime->rulesActive();
    std::optional<KnownPatient> patient;
    if (!guarded(m_windows.prompter,
                 [&] { patient = PrescriptionStore(m_windows.db).findPatient(number, *insurer.number(), social); }))
        return false;
    if (!patient) {
        me_family->clear();
        me_name_bimar->clear();
        return true;
    }
    me_name_bimar->setText(patient->name);
    me_family->setText(patient->family);
    if (patient->expiryDate) me_date_bime1->setStoredText(patient->expiryDate->trimmed());
    if (patient->insNoTamin) {
        if (social) {
            me_sh_bime->setDashedText(*patient->insNoTamin);
            me_sh_bime->edtPageNo()->clear();
        } else {
            serial->setText(*patient->insNoTamin);
        }
    }
    return true;
}

bool PrescriptionHeaderPanel::showPrescriber(CouncilEntry entry) {
    PrescriptionHeader h;
    h.prescriberCouncil = me_nezam_pe->text();
    h.prescriberName = me_name_pe->text();
    h.prescriberFamily = me_family_pe->text();
    h.specialtyCode = me_code_takhasos->text();
    const bool known = m_session.fillPrescriber(h, entry);
    me_name_pe->setText(h.prescriberName);
    me_family_pe->setText(h.prescriberFamily);
    if (known) me_code_takhasos->setText(h.specialtyCode);
    return known;
}

bool PrescriptionHeaderPanel::leavePrescriber() {
    bool known = false;
    if (!guarded(m_windows.prompter, [&] { known = showPrescriber(CouncilEntry::Leaving); })) return false;
    // A new prescriber: his names are typed next and he is stored with the prescription.
    if (known)
        me_date_bime1->setFocus(Qt::TabFocusReason);
    else
        me_family_pe->setFocus(Qt::TabFocusReason);
    return false;
}

void PrescriptionHeaderPanel::pickPrescriber() {
    if (!m_windows.picker) return;
    std::optional<PickRow> chosen;
    guarded(m_windows.prompter, [&] {
        chosen = m_windows.picker->pick({QStringLiteral("nezam_p"), DoctorStore(m_windows.db).prescriberPickRows()});
    });
    if (chosen) {
        me_nezam_pe->setText(chosen->code.toString());
        me_name_pe->setText(chosen->extra.value(QStringLiteral("name")).toString());
        me_family_pe->setText(chosen->extra.value(QStringLiteral("family")).toString());
        guarded(m_windows.prompter, [&] { showPrescriber(CouncilEntry::Typing); });
    }
    me_nezam_pe->setFocus(Qt::TabFocusReason);
}

bool PrescriptionHeaderPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QGroupBox::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (!isPlain(key)) return false;
    if (watched == me_nezam_pe && key->key() == Qt::Key_PageDown) {
        pickPrescriber();
        return true;
    }
    if (watched == me_family && key->key() == Qt::Key_Down) {
        me_name_bimar->setFocus(Qt::TabFocusReason);
        return true;
    }
    if (watched == me_date_ta1 && key->key() == Qt::Key_Down) {
        me_ctype_no->setFocus(Qt::TabFocusReason);
        return true;
    }
    return false;
}

} // namespace ph
