#pragma once

#include <array>
#include <string_view>

namespace ph {

// The access-right flags of u_pharmacy, in column order.
inline constexpr std::array<std::string_view, 39> kRightFlags = {
    "group_k", "type_k",   "darou1",  "darou2",   "hamrah",  "moadel",  "hesab",  "formul",
    "type_fo", "mat",      "vahed",   "bimeh",    "bimehdarou", "tarefe", "type_no", "takh",
    "doctor",  "froosh_d", "froosh_k", "tanzim",  "phar",    "cash",    "cashier", "anbar",
    "havaleh", "list_b",   "disk_b",  "gcash",    "gfroosh", "g1",      "g2",      "access",
    "user_new", "pass_ta", "save_b",  "delete_b", "edit_b", "tarikhche", "engheza",
};

} // namespace ph
