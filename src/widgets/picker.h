#pragma once

#include "core/pick_row.h"

#include <QString>

#include <optional>

namespace ph {

// What a caller offers the lookup picker: the mode (where the caller will put the chosen
// row, e.g. "group1", "takhasos") and the rows, each with `code`, `name1` and the mode's
// further columns.
struct PickRequest {
    QString mode;
    PickRows rows;
};

// The shared lookup picker that PageDown in a code field opens. It returns the chosen row
// to the caller, which fills its own fields as its mode says; nothing when cancelled.
class Picker {
public:
    virtual ~Picker() = default;
    virtual std::optional<PickRow> pick(const PickRequest& request) = 0;
};

} // namespace ph
