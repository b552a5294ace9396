#pragma once

#include "audit/audit_origin.h"
#include "lots/lots.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ph {

// A line as it leaves stock (compounded drugs are made in the pharmacy and keep none).
struct StockLine {
    double code = 0;
    double quantity = 0;
    QList<ScannedPack> packs; // the packs scanned for the line, drawn from their own lots
};

// The amounts of a cash row (cash).
struct CashAmounts {
    double patient = 0; // bimar
    double free = 0;    // azad
    double otc = 0;     // otc
    double fee = 0;     // fani
    double goods = 0;   // kala
    double total = 0;   // koll_daryaft
};

// Who saves and when: the main context's values.
struct SaveContext {
    int userCode = 0;     // code_opr, and U of the prescription code
    int cashierCode = 0;  // the cash desk's keeper, when sales wait at a cash desk
    QString today;        // yy/mm/dd
    QString time;         // HH:MM
    AuditOrigin origin;   // who saves from where, for the history of changes
};

// A prescription as it is stored: the header row's values, the line list's cells and
// the cash row's amounts. Texts left empty on the screen are stored as nulls.
struct PrescriptionRecord {
    int insurer = 0;            // code_bimeh
    QString insurerText;        // the code as typed, for the prescription code
    QString prescriptionDate;   // date_no
    QString deliveryDate;       // date_sabt
    QString expiryDate;         // date_bimeh
    QString name;               // name_b
    QString family;             // family_b
    QString shBimeh;            // sh_bimeh
    QString insNoTamin;         // InsNoTamin
    QString pageNumber;         // sh_safhe
    int admission = 1;          // paz_type: 0 inpatient, 1 outpatient
    QString wardCode;           // code_bakhsh
    QString requestNumber;      // sh_darkhast
    bool staff = false;         // personel
    QString prescriberCouncil;  // nezam_p
    QString typeCode;           // type_no
    bool approvalStamp = false; // flag_taeed
    bool feeInCommitment = false; // fani_flag of the insurer's contract
    double patientPrice = 0;    // price_bimar
    double insurerPrice = 0;    // price_bimeh
    double fee = 0;             // fani
    double fee2 = 0;            // fani2
    double total = 0;           // price_koll
    double freeAmount = 0;      // price_azad
    double otcAmount = 0;       // price_otc
    double goodsAmount = 0;     // price_kala
    QList<QStringList> lines;   // the line list's rows, captions and the empty row excluded
    bool stockKeeping = false;  // the pharmacy unit's stock moves with the prescription
    QList<StockLine> stock;     // what leaves the pharmacy unit's stock
    CashAmounts cash;           // the amounts the cash desk collects
    bool waitsAtCashDesk = false; // sales wait at a cash desk of their own (the settings' cash flag)
    // Whether a new prescription is stored when the patient's prescription of the day is
    // there already: always, or not when one matches by the date and the names (and, with
    // an insurer, also by the prescriber and the insurance number).
    enum class Duplicates { Stored, RefusedByNames, RefusedWithInsurer };
    Duplicates duplicates = Duplicates::Stored;
    bool prescriberKnown = false; // a prescriber has the council number (read before the save)

    // A new prescriber, stored when none has the council number.
    QString prescriberName, prescriberFamily, specialtyCode;
};

// What a save stored.
struct SavedPrescription {
    int invoiceNumber = 0; // sh_factor
    QString code;          // code_no
};

} // namespace ph
