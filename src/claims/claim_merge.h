#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace ph {

class Database;

// A prescription of a merged claim file, as the combined list prints it (a row of list_koli).
struct MergedPrescription {
    int number = 0;                // count: its place in the final file
    QString insuranceNumber;       // SN
    QString date;                  // ND as yy/mm/dd
    QString prescriberCouncil;     // PC
    qint64 total = 0;              // PS + IS
    qint64 patientShare = 0;       // PS
    qint64 insurerShare = 0;       // IS
    QString patientName, patientFamily;       // NE, FY (when the files carry them)
    QString prescriberName, prescriberFamily; // PN, PF (when the files carry them)
    QByteArray block;              // the block's lines after its <PH> line, CR LF ended
};

struct MergedFile {
    QString from, to; // FD and TD as yy/mm/dd
    QList<MergedPrescription> prescriptions; // in date order, numbered 1, 2, 3, ...
};

// Joins several claim files into one main file: the first file's heading, then every file's
// prescriptions numbered on; finishing sorts the prescriptions by date, numbers them again
// and writes the prescription count into the heading. The main file is rewritten whole at
// each step under a temporary name beside it, so it is never left half written.
class ClaimMerge {
public:
    explicit ClaimMerge(QString mainPath) : m_mainPath(std::move(mainPath)) {}

    const QString& mainPath() const { return m_mainPath; }
    // Creates the main file empty.
    void create();
    // Starts adding files: the numbering starts again and the next file's heading is copied.
    void startAdding();
    // Appends a claim file's prescriptions to the main file. Throws DamagedClaimFile for a
    // file that is not whole (nothing is added), ph::Error naming a file that cannot be read
    // or written.
    void add(const QString& path);
    int added() const { return m_number; }
    // Sorts, numbers and rewrites the main file. `names` and `prescriberNames` read the NE/FY
    // and PN/PF values. Throws ph::Error (nothing written) for shares that are not whole Rials.
    MergedFile finish(bool names, bool prescriberNames);

private:
    QString m_mainPath;
    int m_number = 0;
    bool m_headerCopied = false;
};

// What mergeClaimFiles wrote.
struct JoinedClaimFile {
    int prescriptions = 0;
    QString from, to; // the first file's FD and TD as yy/mm/dd
};

// Joins claim files into `target` as the merge window does when it finishes: the first
// file's heading with the count of all prescriptions, then every prescription of every file
// in date order (equal dates in file order), numbered 1, 2, 3 … . Every file is checked
// completely first (checkClaimFile): a damaged one throws DamagedClaimFile and nothing is
// written. The files are read a block at a time, never held whole; the target is replaced
// in one step once complete (FileWriteError when it cannot be).
JoinedClaimFile mergeClaimFiles(const QStringList& files, const QString& target);

// The lines of a claim file without their CR LF (or LF) ends.
QList<QByteArray> claimFileLines(const QByteArray& bytes);

// The merge window's working table list_koli.
class MergedListStore {
public:
    explicit MergedListStore(Database& db) : m_db(db) {}
    // Empties the table and writes the rows, in one transaction.
    void replace(const QList<MergedPrescription>& rows);

private:
    Database& m_db;
};

} // namespace ph
