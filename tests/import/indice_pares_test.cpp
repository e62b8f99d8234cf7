#include "import/indice_pares.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace toa::importar {
namespace {

const std::string* buscado(const IndicePares& indice, std::string_view a, std::string_view b) {
    return indice.buscar({a, b});
}

TEST(IndicePares, FirstOfEqualPairsWinsAndThePairsSplitMatters) {
    IndicePares indice;
    EXPECT_EQ(buscado(indice, "", ""), nullptr);  // nothing added yet
    for (const auto& [a, b, valor] : {std::tuple{"ab", "c", "1"},
                                      {"a", "bc", "2"},
                                      {"ab", "c", "3"},
                                      {"", "", "4"},
                                      {"AB", "c", "5"}}) {
        const auto [entrada, nueva] = indice.try_emplace({a, b});
        if (nueva) entrada->second = valor;
    }
    const struct {
        std::string_view a, b;
        const char* valor;  // none: not found
    } casos[] = {{"ab", "c", "1"}, {"a", "bc", "2"},     {"", "", "4"},
                 {"AB", "c", "5"}, {"abc", "", nullptr}, {"ab", "c ", nullptr}};
    for (const auto& c : casos) {
        const std::string* valor = buscado(indice, c.a, c.b);
        if (c.valor == nullptr) {
            EXPECT_EQ(valor, nullptr) << c.a << "|" << c.b;
        } else {
            ASSERT_NE(valor, nullptr) << c.a << "|" << c.b;
            EXPECT_EQ(*valor, c.valor);
        }
    }
}

// Growing past what was reserved, and from nothing, keeps every entry findable.
TEST(IndicePares, ThousandsOfPairsStayFoundAsTheSlotsGrow) {
    for (const std::size_t reservadas : {0, 10}) {
        IndicePares indice;
        indice.reserve(reservadas);
        constexpr int kPares = 5000;
        for (int n = 0; n < kPares; ++n) {
            indice.try_emplace({std::to_string(n % 97), std::to_string(n)}).first->second =
                std::to_string(n);
        }
        for (int n = 0; n < kPares; ++n) {
            const std::string* valor = buscado(indice, std::to_string(n % 97), std::to_string(n));
            ASSERT_NE(valor, nullptr) << n;
            EXPECT_EQ(*valor, std::to_string(n));
        }
        EXPECT_EQ(buscado(indice, "1", "0"), nullptr);
    }
}

}  // namespace
}  // namespace toa::importar
