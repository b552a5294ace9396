#pragma once

#include "dispensing/pricing_types.h"
#include "insurance/ins_no.h"

#include <QString>

namespace ph {

// The header of a prescription as its fields hold it, the insurer apart (the session
// keeps it, since changing it prices the lines again). Dates are kept in their stored
// forms, built from the day-first fields: yyyy/mm/dd for the expiry, yy/mm/dd for the
// others; a part not typed stays blank ("1405/  /  ").
struct PrescriptionHeader {
    InsNoParts insNo;          // edtMeliCode, edtInsNo, edtBookNo, edtPageNo
    QString family;            // me_family
    QString name;              // me_name_bimar
    QString pageNumber;        // sh_safhe
    Admission admission = Admission::Outpatient; // paz_type
    QString requestNumber;     // sh_darkhast
    QString wardCode;          // me_code_bakhsh
    QString prescriberCouncil; // me_nezam_pe
    QString prescriberFamily;  // me_family_pe
    QString prescriberName;    // me_name_pe
    QString specialtyCode;     // me_code_takhasos
    QString expiryDate;        // me_date_bime
    QString prescriptionDate;  // me_date_no
    QString deliveryDate;      // me_date_ta
    QString typeCode;          // me_ctype_no
    bool staff = false;        // CheckBox1: the patient is a member of the staff
    QString invoiceNumber;     // me_sh_factor: the number shown; a new one is taken on saving

    bool outpatient() const { return admission == Admission::Outpatient; }
};

// A stored date with no digit typed in it: "  /  /  ", "    /  /  " or nothing.
bool isBlankDate(const QString& date);

} // namespace ph
