#pragma once

#include "insurance/print_setting_store.h"

#include <QList>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A stored line as the prints read it (details_noskhe, with the drug's name).
struct PrintedLine {
    int row = 0;                   // row
    double code = 0;               // code_darou
    std::optional<QString> name;   // mosh_kala_anbar.name_kala; absent when the drug is not in the goods master
    QString kind;                  // vaziat
    double quantity = 0;           // tedad
    double total = 0;              // price_koll
    double insurer = 0;            // sazman
    double patient = 0;            // bimar
    double free = 0;               // azad
    double otc = 0;                // otc
    double goods = 0;              // kala
};

// A stored prescription as its prints read it: the header, the insurer's name and print
// setting, and every line in the order of `row`.
struct PrescriptionPrintData {
    int invoice = 0;                      // sh_factor
    QString code;                         // code_no
    QString deliveryDate;                 // date_sabt
    QString family;                       // family_b
    QString name;                         // name_b
    int insurer = 0;                      // code_bimeh
    std::optional<QString> insurerName;   // organs_m.name; absent when the insurer is not listed
    double total = 0;                     // price_koll: what the patient pays
    double patientShare = 0;              // price_bimar
    double insurerShare = 0;              // price_bimeh
    double free = 0;                      // price_azad
    double fee = 0;                       // fani
    QList<PrintedLine> lines;
    std::optional<InsurerPrintSetting> setting; // the insurer's print setting; absent with none

    // The insurer's lines ("تعرفه"): the ones the insurer's sheet lists.
    QList<PrintedLine> insuredLines() const;
    // The patient's name as printed: family name, a space, first name.
    QString patientName() const;
};

// Which prints follow a new prescription's save (the settings row's p_noskhe and p_factor; none without
// a row).
struct AutomaticPrints {
    bool prescription = false; // p_noskhe
    bool invoice = false;      // p_factor
};

class PrescriptionPrintReader {
public:
    explicit PrescriptionPrintReader(Database& db) : m_db(db) {}

    // The stored prescription with this invoice number; absent when there is none.
    std::optional<PrescriptionPrintData> read(int invoice);
    AutomaticPrints automaticPrints();

private:
    Database& m_db;
};

} // namespace ph
