#pragma once
#include <cstdint>
#include <string_view>

#include "platform/error.h"

namespace toa {

// The platform's text-to-integer failure: "'%s' no es un valor entero válido".
class ConversionError : public Error {
public:
    // `ansiText` is the text that did not convert, in 8-bit text.
    explicit ConversionError(std::string_view ansiText);
};

// A decimal integer with an optional sign, nothing else around it; 32-bit range.
// Anything else raises ConversionError with the text.
std::int32_t decimalInteger(std::string_view ansiText);

// The host's window handle: one or more hexadecimal digits, at most FFFFFFFF, converted as "$"
// followed by the text; a failure raises ConversionError for "$" + text.
std::uint32_t hexadecimalHandle(std::string_view text);

}  // namespace toa
