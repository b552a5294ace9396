#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// One stored line of a prescription (details_noskhe) with what the catalogue says of its drug.
// Amounts are absent where the column is null.
struct StoredLineRecord {
    int row = 0;                        // row
    std::optional<double> code;         // code_darou
    bool inCatalogue = false;           // the drug has a row in mosh_kala_anbar
    std::optional<QString> name;        // name_kala; absent when not in the catalogue or null there
    QString formName;                   // type_kala.name of the drug's form
    QString kind;                       // vaziat, as stored
    std::optional<double> quantity;     // tedad
    std::optional<double> unitPrice;    // price_one
    std::optional<double> total;        // price_koll
    std::optional<double> insurer;      // sazman
    std::optional<double> patient;      // bimar
    std::optional<double> free;         // azad
    std::optional<double> otc;          // otc
    std::optional<double> goods;        // kala
    std::optional<double> hotelingPrice; // price_h
    int substituted = 0;                // flag_moadel
    std::optional<double> mainDrugCode;     // code_darou_main
    std::optional<double> mainDrugQuantity; // tedad_darou_main
    std::optional<double> mainDrugPrice;    // price_darou_main
};

// A stored prescription's header (heading_noskhe), texts as stored, amounts absent where null.
struct StoredHeaderRecord {
    int invoiceNumber = 0;              // sh_factor
    QString prescriptionDate;           // date_no
    QString deliveryDate;               // date_sabt
    QString expiryDate;                 // date_bimeh
    QString code;                       // code_no
    std::optional<double> insurerCode;  // code_bimeh
    QString insNoTamin;                 // insnotamin
    std::optional<double> requestNumber; // sh_darkhast
    std::optional<double> wardCode;     // code_bakhsh
    std::optional<int> admission;       // paz_type: 0 inpatient
    bool staff = false;                 // personel
    QString name;                       // name_b
    std::optional<double> pageNumber;   // sh_safhe
    QString family;                     // family_b
    QString prescriberCouncil;          // nezam_p
    std::optional<double> typeCode;     // type_no
    std::optional<double> patientShare; // price_bimar
    std::optional<double> insurerShare; // price_bimeh
    std::optional<double> free;         // price_azad
    std::optional<double> payable;      // price_koll
    std::optional<double> otc;          // price_otc
    std::optional<double> fee;          // fani
    std::optional<double> goods;        // price_kala
};

struct StoredPrescriptionRecord {
    StoredHeaderRecord header;
    QList<StoredLineRecord> lines; // every stored line, in the order of row
};

// Reads a stored prescription in one statement, for the dispensing window and the prints alike.
class StoredPrescriptionReader {
public:
    explicit StoredPrescriptionReader(Database& db) : m_db(db) {}
    // Absent when no header is stored under the number; a header without lines has none.
    std::optional<StoredPrescriptionRecord> read(int invoiceNumber);

private:
    Database& m_db;
};

} // namespace ph
