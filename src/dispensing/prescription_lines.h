#pragma once

#include "core/line_list.h"

namespace ph {

// The line list of a prescription being entered: text cells in 18 columns, the
// captions in row 0, the lines from row 1, and always one empty row at the end.
class PrescriptionLines : public LineList {
public:
    enum Column {
        RowNumber = 0,
        Name = 1,
        Code = 2,
        FormName = 3,
        Kind = 4,
        Quantity = 5,
        UnitPrice = 6,
        Total = 7,
        InsurerShare = 8,
        PatientShare = 9,
        FreeAmount = 10,
        OtcAmount = 11,
        GoodsAmount = 12,
        Substitute = 13,
        MainDrugCode = 14,
        MainDrugQuantity = 15,
        MainDrugPrice = 16,
        HotelingPrice = 17,
    };
    static constexpr int kColumns = 18;

    // Captions and one empty row.
    PrescriptionLines();
};

} // namespace ph
