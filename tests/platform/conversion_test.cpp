#include "platform/conversion.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace toa {
namespace {

TEST(DecimalInteger, AcceptsSignedDecimalTextOnly) {
    struct Case {
        std::string text;
        std::optional<std::int32_t> value;
    };
    const Case cases[] = {
        {"90", 90},
        {"-60", -60},
        {"+5", 5},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", {}},
        {"", {}},
        {"1,5", {}},
        {"90 min", {}},
        {" 90", {}},
        {"8h", {}},
        {"-", {}},
        {"+-1", {}},
        {"$10", {}},
        {"0x10", {}},
    };
    for (const auto& c : cases) {
        if (c.value) {
            EXPECT_EQ(decimalInteger(c.text), *c.value) << c.text;
        } else {
            EXPECT_THROW(decimalInteger(c.text), ConversionError) << c.text;
        }
    }
}

TEST(DecimalInteger, MessageQuotesTheText) {
    try {
        decimalInteger("1,5");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'1,5' no es un valor entero válido");
    }
}

TEST(HexadecimalHandle, AcceptsHexDigitsUpToThirtyTwoBits) {
    EXPECT_EQ(hexadecimalHandle("1A2B"), 0x1A2Bu);
    EXPECT_EQ(hexadecimalHandle("00000000001a2b"), 0x1A2Bu);
    EXPECT_EQ(hexadecimalHandle("FFFFFFFF"), 0xFFFFFFFFu);
    for (const char* bad : {"", "100000000", "12G4", "-1", "+1", "0x1A", " 1A", "1A ", "$1A"}) {
        EXPECT_THROW(hexadecimalHandle(bad), ConversionError) << bad;
    }
}

TEST(HexadecimalHandle, MessageNamesTheConvertedText) {
    try {
        hexadecimalHandle("12G4");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'$12G4' no es un valor entero válido");
    }
}

}  // namespace
}  // namespace toa
