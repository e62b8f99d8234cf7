#pragma once
#include <optional>
#include <string>
#include <string_view>

// Numbers as the text of numeric fields: what the file holds and what a reader is given back.
namespace toa::tables {

// An optional sign, digits with at most one decimal point, an optional exponent; nothing around
// it. Any other text (a comma, "inf", stars of an overflowed field) gives nullopt.
std::optional<double> parseNumber(std::string_view text);

// The shortest decimal text that reads back as `value`, never in exponent form: 3 gives "3",
// 1.5 gives "1.5".
std::string shortestDecimal(double value);

// `value` rounded to `decimals` places, as a numeric field holds it: "3.0000". Zero has no sign.
std::string fixedDecimal(double value, int decimals);

}  // namespace toa::tables
