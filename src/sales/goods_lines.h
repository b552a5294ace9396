#pragma once

#include "core/line_list.h"

namespace ph {

// The line list of a goods invoice (or of a ward consumption document): eight text columns.
class GoodsLines : public LineList {
public:
    enum Column { RowNumber = 0, Name = 1, Code = 2, FormName = 3, Kind = 4, Quantity = 5, UnitPrice = 6, Total = 7 };
    GoodsLines();
};

} // namespace ph
