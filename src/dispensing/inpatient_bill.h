#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// What the bill of an inpatient covers: the hospital file number (the prescriptions'
// insurance number), the dates (yy/mm/dd, both included) and optionally one ward.
struct BillRequest {
    QString fileNumber;
    QString fromDate;
    QString toDate;
    std::optional<qint64> ward;
};

// The patient and the insurer of a hospital file, as its first prescription names them.
struct BillPatient {
    QString name;    // name_b, a blank, family_b
    QString insurer; // organs_m.name
};

// One line of the bill: a drug at one unit price, kind and hoteling price, its quantities
// and shares summed over the file's inpatient prescriptions.
struct BillLine {
    QString category;
    QString name;     // name_kala
    QString formName; // type_kala.name
    double quantity = 0;
    double unitPrice = 0;
    double insurer = 0; // sazman
    double patient = 0; // bimar
    double free = 0;    // azad
    double hoteling = 0; // price_h
    double total() const { return quantity * unitPrice; }
};

// The lines of one category with its sums; the tariff sum leaves hoteling lines out.
struct BillGroup {
    QString category;
    QList<BillLine> lines;
    double insurer = 0;
    double patient = 0;
    double free = 0;
    double tariff = 0; // unit price × quantity of its lines without a hoteling price
};

// The whole bill: its groups in the categories' order, the sums and the technical fee.
struct InpatientBill {
    QList<BillGroup> groups;
    double insurer = 0;
    double patient = 0;
    double free = 0;
    double fee = 0;
    double tariffLines = 0; // unit price × quantity of every line without a hoteling price
    double payable() const { return patient + fee + free; }
    double tariffTotal() const { return tariffLines - free; }
    bool isEmpty() const { return groups.isEmpty(); }
};

// The category of a bill line: drugs (group 1) and equipment (group 4), each under the
// tariff or free; any line with a hoteling price is a hoteling line.
QString billCategory(int groupCode, const QString& kind, double hoteling);
// The categories in the order the bill prints them.
const QStringList& billCategories();
// Sorts the lines into their categories and sums them.
InpatientBill composeBill(const QList<BillLine>& lines, double fee);

// Reads the bill of a hospital file from the stored prescriptions; reads only.
class InpatientBillStore {
public:
    explicit InpatientBillStore(Database& db) : m_db(db) {}

    // The file's patient and insurer; absent when no prescription has the number.
    std::optional<BillPatient> findFile(const QString& fileNumber);
    // The file's inpatient lines of the dates (and ward), one per drug, unit price, kind and
    // hoteling price, with the technical fee of those prescriptions.
    InpatientBill read(const BillRequest& request);

private:
    Database& m_db;
};

} // namespace ph
