#include "tables/numeric_text.h"

#include <array>
#include <charconv>
#include <system_error>

namespace toa::tables {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Room for the fixed form of any double: a sign, 309 integer digits, a point and up to 255
// decimals (the most a field can declare).
constexpr std::size_t kBufferSize = 600;

}  // namespace

std::optional<double> parseNumber(std::string_view text) {
    std::string_view body = text;
    bool negative = false;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    // from_chars would also take "inf" and "nan"; a field holds digits.
    if (body.empty() || !(isDigit(body.front()) || body.front() == '.')) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
    if (ec != std::errc() || end != body.data() + body.size()) return std::nullopt;
    return negative ? -value : value;
}

std::string shortestDecimal(double value) {
    if (value == 0) value = 0;  // -0 reads as "0"
    std::array<char, kBufferSize> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

std::string fixedDecimal(double value, int decimals) {
    std::array<char, kBufferSize> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string out(buffer.data(), result.ptr);
    // A tiny negative value rounds to "-0.0000"; the field holds plain zero.
    if (out.front() == '-' && out.find_first_not_of("0.", 1) == std::string::npos) out.erase(0, 1);
    return out;
}

}  // namespace toa::tables
