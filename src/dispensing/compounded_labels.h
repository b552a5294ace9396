#pragma once

#include <QList>
#include <QString>

namespace ph {

class Database;

// The label of one compounded drug of a prescription: the drug and the three texts printed
// on it.
struct CompoundedLabel {
    double code = 0; // code_darou
    QString name;    // name_darou
    QString instruction; // dastoor
    QString storage;     // negahdari
    QString message;     // payam
};

// One material line printed under the label's contents.
struct LabelContentLine {
    QString material; // name_mat
    double quantity = 0;
    QString unit;
};

// The labels of a prescription's compounded drugs and the texts kept per prescription
// (details_froosh_sakhtani).
class CompoundedLabels {
public:
    explicit CompoundedLabels(Database& db) : m_db(db) {}

    // One label per drug of `drugCodes` (in their order) that has a formula: the texts stored
    // for this prescription and drug, else the formula's own instruction, storage note and
    // message (empty where the formula names none or the text is gone).
    QList<CompoundedLabel> load(int invoice, const QList<double>& drugCodes) const;

    // Stores the labels' texts for the prescription, in one transaction: from the first label
    // having a text that is not one of its list's standard texts, that label and every later
    // one (each replaces what was stored for its drug). The labels before it are not stored.
    // Returns how many labels were stored.
    int store(int invoice, const QList<CompoundedLabel>& labels);

    // The formula lines of the drug, printed under "محتويات دارو".
    QList<LabelContentLine> contents(double code) const;

private:
    Database& m_db;
};

} // namespace ph
