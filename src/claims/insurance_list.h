#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

#include <optional>

namespace ph {

class Database;

// What the insurance list selects: the insurers' outpatient prescriptions with an invoice
// number, dated from `from` to `to` (yy/mm/dd, compared as texts), narrowed by the filters.
struct ListSelection {
    enum class Confirmation { All, Confirmed, Ordinary };

    QList<int> insurers;                    // in the order chosen; the first gives the pharmacy's code
    std::optional<int> prescriptionType;    // type_no
    std::optional<double> lowestTotal;      // koll >=
    std::optional<double> highestTotal;     // koll <=
    QList<int> excludedSpecialties;         // doctor_type codes left unchecked, in list order
    Confirmation confirmation = Confirmation::All;
    QString from;
    QString to;
};

// Why a selection cannot be shown or exported, in the order the checks are made.
enum class ListFault { NoInsurer, NoFani, NoFirstDate, NoSecondDate, BadFirstDate, BadSecondDate };

QString listFaultText(ListFault fault);

// Checks the selection before showing or exporting; `fani` is the technical manager's
// council number. Valid dates are written back with two-digit month and day.
std::optional<ListFault> checkSelection(ListSelection& selection, const QString& fani);

// One listed prescription (a row of v_list_bimeh).
struct ListRow {
    int invoice = 0;           // sh_factor
    QString family;            // family_b
    QString name;              // name_b
    QString insNoTamin;        // insnotamin, shown as the booklet number
    QString insuranceNumber;   // sh_bimeh
    QString date;              // date_no
    QString code;              // code_no
    QString prescriber;        // name_p
    double insurerShare = 0;   // price_bimeh
    double patientShare = 0;   // price_bimar
    double total = 0;          // koll
    QString page;              // sh_safhe as text
};

struct ListTotals {
    double insurerShare = 0;
    double patientShare = 0;
    int count = 0;
    double total() const { return insurerShare + patientShare; }
};
ListTotals totalsOf(const QList<ListRow>& rows);

// The orders of the sort menu.
enum class ListOrder { Invoice, Family, InsuranceNumber, Date, Code, Prescriber, InsurerShare, PatientShare, Total };
void sortRows(QList<ListRow>& rows, ListOrder order);

// One row of the spreadsheet of the list, in its column order.
struct SheetRow {
    QString name, family, insuranceNumber, prescriber, date;
    double total = 0, insurerShare = 0, patientShare = 0;
};

// A prescription of a claim file with its insured lines.
struct ClaimLine {
    std::optional<int> formCode;   // type_code of the goods
    std::optional<double> nationalCode; // code_tow
    double quantity = 0;           // tedad
    double total = 0;              // price_koll
    double insurerShare = 0;       // sazman
    double patientShare = 0;       // bimar
};

struct ClaimPrescription {
    int invoice = 0;                       // sh_factor
    QString date;                          // date_no
    QString dispensingDate;                // date_sabt
    QString bookletDate;                   // date_bimeh
    std::optional<double> page;            // sh_safhe
    int insurer = 0;                       // code_bimeh
    std::optional<QString> insNoTamin;     // insnotamin
    QString insuranceNumber;               // sh_bimeh
    QString prescriberCouncil;             // nezam_p
    std::optional<double> insurerShare;    // price_bimeh
    std::optional<double> patientShare;    // price_bimar
    std::optional<double> total;           // koll
    QString patientName, patientFamily;    // name_b, family_b
    QString prescriberName, prescriberFamily; // name_p1, family_p
    QList<ClaimLine> lines;                // lines priced under the tariff, in row order
};

// Reads the insurance list from v_list_bimeh. Every value is bound; the selection's
// conditions are one clause shared by the list, the sheet and the claim files.
class InsuranceListStore {
public:
    explicit InsuranceListStore(Database& db) : m_db(db) {}

    // The listed prescriptions, ordered by date, then prescription code.
    QList<ListRow> rows(const ListSelection& selection);
    // The same prescriptions for the spreadsheet.
    QList<SheetRow> sheetRows(const ListSelection& selection);
    // The same prescriptions with their tariff lines, read in one statement.
    QList<ClaimPrescription> claimPrescriptions(const ListSelection& selection);
    // The pharmacy's code with the first chosen insurer ("0" when it has none).
    QString pharmacyCode(const ListSelection& selection);

private:
    Database& m_db;
};

} // namespace ph

// Its members move by their bytes alone, so a growing list of a month's prescriptions moves
// them in blocks rather than one by one.
Q_DECLARE_TYPEINFO(ph::ClaimPrescription, Q_RELOCATABLE_TYPE);
