#pragma once

#include "dispensing/insurer_code.h"
#include "dispensing/pricing_types.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ph {

class PricingData;
class PrescriptionLines;
class Prompter;

// The prescription header as pricing reads it.
struct PricingContext {
    InsurerCode insurer;   // me_code_bime
    QString specialtyCode; // me_code_takhasos
    Admission admission = Admission::Outpatient;
    QString currentDate;       // the main context's current_date, yy/mm/dd
    bool stockKeeping = false; // form_mode 1: the pharmacy unit's stock and prices
};

// The line fields as the user left them.
struct LineInput {
    QString quantity; // me_tedad
    QString kind;     // cb_vaziat
    QString price;    // me_price: the unit price of a compounded drug, or of a line being replaced
};

struct LineResult {
    enum class Status {
        Written,       // the line (and on adding its companions) is in the list
        NotValid,      // a line check failed; its warning was shown
        Declined,      // the user answered no; nothing was written
        NotInDrugList, // the line to replace names a drug the drug list does not hold
    };
    Status status = Status::NotValid;
    int row = -1;  // the row written
    QString focus; // the field the window focuses afterwards, empty for its usual next field
    bool written() const { return status == Status::Written; }
};

// Prices the lines of a prescription into its line list: adding ("ثبت دارو"), replacing
// ("اصلاح دارو") and pricing every line again after an insurer change. Questions and
// warnings go through the Prompter. Header checks are the window's and come first;
// the totals are recomputed by the caller after every change.
class LinePricer {
public:
    LinePricer(PricingData& data, Prompter& prompter) : m_data(data), m_prompter(prompter) {}

    // Prices the drug into the empty last row, then adds its companion rows.
    LineResult add(PrescriptionLines& lines, const PricingContext& context, const DrugItem& drug,
                   const LineInput& input);
    // Asks for confirmation, then prices the row's drug (located in the drug list by its
    // code) again into that row from the input, and compacts the list. Companions are not added.
    LineResult replace(PrescriptionLines& lines, int row, const PricingContext& context,
                       const LineInput& input);
    // As replace, without the confirmation: a scanned pack raising its drug's line.
    LineResult raise(PrescriptionLines& lines, int row, const PricingContext& context, const LineInput& input);

    enum class InsurerChange { Unchanged, Declined, Repriced };
    // Leaving the insurer field with a known code: when it differs from the code
    // remembered on entering and the list has lines, asks, then gives every line the new
    // insurer's kind and prices it again from the top. On Declined the window puts the
    // remembered code back.
    InsurerChange changeInsurer(PrescriptionLines& lines, const PricingContext& context,
                                const InsurerCode& previous);

    // The unit price a row is priced again from (me_price when the row is selected): its
    // unit price; a hoteling row's hoteling price; and for an insured compounded drug
    // the formula's free part added back, since the row shows the price without it.
    QString priceFieldFor(const QStringList& row, const DrugItem& drug);

private:
    enum class Mode { Add, Replace };
    struct Target {
        Mode mode;
        int row; // the row being replaced
    };

    LineResult validate(const DrugItem& drug, const LineInput& input);
    LineResult replaceRow(PrescriptionLines& lines, int row, const PricingContext& context,
                          const LineInput& input, bool insurerChangePass, bool confirm = true);
    LineResult price(PrescriptionLines& lines, Target target, const PricingContext& context,
                     const DrugItem& drug, const LineInput& input, bool insurerChangePass);
    bool stockWarning(const PricingContext& context, const DrugItem& drug, double quantity);
    int writeInsured(PrescriptionLines& lines, Target target, const PricingContext& context,
                     const DrugItem& drug, const LineInput& input, double quantity);
    int writePlain(PrescriptionLines& lines, Target target, LineKind kind, const DrugItem& drug,
                   const LineInput& input, double quantity);
    void addCompanions(PrescriptionLines& lines, const PricingContext& context, const DrugItem& drug,
                       const LineInput& input, double quantity, LineKind writtenKind);
    int write(PrescriptionLines& lines, Target target, const QStringList& cells);

    PricingData& m_data;
    Prompter& m_prompter;
};

// A goods code as the line list writes it.
QString goodsCodeText(double code);

} // namespace ph
