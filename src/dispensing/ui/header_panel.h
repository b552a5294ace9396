#pragma once

#include "dispensing/prescription_header.h"
#include "dispensing/prescription_session.h"
#include "widgets/window_context.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace ph {

struct StoredPrescription;
class CodeField;
class DateField;
class KeyNav;
class PrescriptionSession;
class TfraInsNo;

// The header of the prescription entry window: insurer, insurance number, patient,
// admission and ward, prescriber, dates and prescription type, in their Enter / Up order,
// with the look-ups while typing and the pickers on PageDown. It reads the stores through
// their look-ups and hands the session the insurer and the header; the checks are the
// session's.
class PrescriptionHeaderPanel : public QGroupBox {
    Q_OBJECT
public:
    PrescriptionHeaderPanel(const WindowContext& windows, PrescriptionSession& session, QWidget* parent = nullptr);

    // The fields of a new prescription: insurer "0", today's dates, the expiry's century and
    // year pre-filled, prescription type 1, outpatient; the invoice number shown.
    void clear(const QString& today, const QString& invoiceNumber);
    // A stored prescription: the cleared fields (today's dates), then its header as stored.
    // While it is filled the insurance-number frame does not react to its parts changing.
    void showStored(const StoredPrescription& stored, const QString& today);
    bool loading() const { return m_loading; }
    // The panel's colour: the window's own for a new prescription, light blue while a stored
    // one is shown, dark blue while it is being corrected.
    enum class Look { New, Shown, Editing };
    void setLook(Look look);
    // A stored prescription shown, not corrected: nothing in the header can be typed or chosen.
    void setReadOnly(bool readOnly);
    // The fields as the session keeps them.
    PrescriptionHeader header() const;
    // Gives the session the insurer the field shows, when the field was left another way
    // than by Enter. False when the user declined the change (the field shows the old one).
    void syncInsurer();
    // Leaving the header for the drug lookup: an empty insurer code becomes "0". Returns
    // the kind the next line starts with.
    QString leaveHeader();
    // The first field in the Enter order.
    QWidget* firstField() const;
    // The field with this object name, or null.
    QWidget* field(const QString& objectName) const;

signals:
    // The insurer was changed; `repriced` when the lines were priced again for it.
    void insurerChanged(bool repriced, const QString& kind);
    // Enter in the last header fields: on to the drug lookup.
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeFields();
    void makeOrder();
    void makeLayout();
    bool leaveInsurer();
    bool leaveSerial();
    bool leavePrescriber();
    void showInsurerKind(const QString& code);
    // Fills the prescriber fields from the register; returns whether it knows him.
    bool showPrescriber(CouncilEntry entry);
    void updateWard();
    void pickPrescriber();

    WindowContext m_windows;
    PrescriptionSession& m_session;
    KeyNav* m_nav = nullptr;
    bool m_loading = false;
    QList<QLineEdit*> m_typedFields; // the fields the user types in (not the names shown)

    CodeField* me_code_bime;
    QLineEdit* me_name_bime;
    TfraInsNo* me_sh_bime;
    QLabel* lblDigit;
    QLineEdit* me_family;
    QLineEdit* me_name_bimar;
    QLineEdit* sh_safhe;
    QComboBox* paz_type;
    QLineEdit* sh_darkhast;
    CodeField* me_code_bakhsh;
    QLineEdit* me_name_bakhsh;
    QLineEdit* me_nezam_pe;
    QLineEdit* me_family_pe;
    QLineEdit* me_name_pe;
    CodeField* me_code_takhasos;
    QLineEdit* me_name_takhasos;
    DateField* me_date_bime1;
    DateField* me_date_no1;
    DateField* me_date_ta1;
    CodeField* me_ctype_no;
    QLineEdit* me_ntype_no;
    QCheckBox* CheckBox1;
    QLineEdit* me_sh_factor;
    QLineEdit* me_code_no;
};

} // namespace ph
