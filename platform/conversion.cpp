#include "platform/conversion.h"

#include <charconv>
#include <limits>
#include <string>

#include "platform/ansi.h"

namespace toa {

ConversionError::ConversionError(std::string_view ansiText)
    : Error("'" + utf8FromAnsi(ansiText) + "' no es un valor entero válido") {}

std::int32_t decimalInteger(std::string_view ansiText) {
    std::string_view digits = ansiText;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    std::int64_t value = 0;
    if (digits.empty() || digits.front() == '+' || digits.front() == '-')
        throw ConversionError(ansiText);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) throw ConversionError(ansiText);
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max())
        throw ConversionError(ansiText);
    return static_cast<std::int32_t>(value);
}

std::uint32_t hexadecimalHandle(std::string_view text) {
    std::string converted = "$";
    converted.append(text);
    std::uint64_t value = 0;
    if (text.empty()) throw ConversionError(converted);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size() ||
        value > std::numeric_limits<std::uint32_t>::max())
        throw ConversionError(converted);
    return static_cast<std::uint32_t>(value);
}

}  // namespace toa
