#include "export/codigo_unico.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/error.h"

namespace toa::exportar {
namespace {

struct Serie {
    const char* caso;
    std::size_t longitudBase;
    std::vector<std::string> candidatos;
    std::vector<std::string> codigos;
    friend void PrintTo(const Serie& c, std::ostream* os) { *os << c.caso; }
};

std::vector<std::string> repetido(const std::string& texto, std::size_t veces) {
    return std::vector<std::string>(veces, texto);
}

std::vector<std::string> conPrefijo(std::vector<std::string> primeros,
                                    const std::vector<std::string>& resto) {
    primeros.insert(primeros.end(), resto.begin(), resto.end());
    return primeros;
}

class CodigoUnicoTest : public ::testing::TestWithParam<Serie> {};

// Each series gives its candidates in order to one fresh list.
TEST_P(CodigoUnicoTest, DaLosCodigosEsperados) {
    const Serie& serie = GetParam();
    ListaCodigos lista;
    std::vector<std::string> codigos;
    for (const std::string& candidato : serie.candidatos) {
        codigos.push_back(CodigoUnico(candidato, serie.longitudBase, lista));
    }
    EXPECT_EQ(codigos, serie.codigos) << serie.caso;
}

const std::vector<std::string> kMat1aMat9 = {"MAT1", "MAT2", "MAT3", "MAT4", "MAT5",
                                             "MAT6", "MAT7", "MAT8", "MAT9"};

INSTANTIATE_TEST_SUITE_P(
    Series, CodigoUnicoTest,
    ::testing::Values(
        Serie{"letter case is ignored, kept in the code",
              3,
              {"LENG", "LENG", "leng"},
              {"LENG", "LEN1", "len2"}},
        Serie{"short candidate is its own base", 3, {"AB", "AB"}, {"AB", "AB1"}},
        Serie{"empty candidate", 3, {"", "", ""}, {"", "1", "2"}},
        Serie{"Windows-1252 letters fold",
              3,
              {"\xD1"
               "AND",
               "\xF1"
               "and"},
              {"\xD1"
               "AND",
               "\xF1"
               "an1"}},
        Serie{"accents are other letters", 3, {"ANGE", "\xC1NGE"}, {"ANGE", "\xC1NGE"}},
        Serie{"tenth number shortens the base to keep four characters", 3,
              conPrefijo({"MAT"}, conPrefijo(kMat1aMat9, {"MAT"})),
              conPrefijo({"MAT"}, conPrefijo(kMat1aMat9, {"MA10"}))},
        Serie{"a candidate given out as a numbered code clashes",
              3,
              {"MATE", "MATE", "MAT1"},
              {"MATE", "MAT1", "MAT2"}},
        Serie{"long candidates clash on their first four characters",
              3,
              {"GARCIA", "GARCES", "GARC"},
              {"GARCIA", "GAR1", "GAR2"}},
        Serie{"trailing blank of a candidate is not stored", 3, {"ABC ", "ABC"}, {"ABC ", "ABC1"}},
        Serie{"blank inside the base stays", 3, {"ES 1", "ES 1"}, {"ES 1", "ES 2"}},
        Serie{"base length 2", 2, {"LAB", "LAB", "LAB"}, {"LAB", "LA1", "LA2"}},
        Serie{"base length 2 from the hundredth number", 2, repetido("AB", 101),
              [] {
                  std::vector<std::string> codigos = {"AB"};
                  for (int k = 1; k <= 99; ++k) codigos.push_back("AB" + std::to_string(k));
                  codigos.push_back("A100");
                  return codigos;
              }()},
        Serie{"numbers taken by other candidates are skipped",
              3,
              {"MAT5", "MAT2", "MATE", "MATE", "MATE", "MATE", "MATE"},
              {"MAT5", "MAT2", "MATE", "MAT1", "MAT3", "MAT4", "MAT6"}},
        Serie{"bases sharing their shortened form share the numbers from 10 on", 3,
              conPrefijo(repetido("MATE", 11), repetido("MATA", 2)), [] {
                  std::vector<std::string> codigos = {"MATE"};
                  codigos.insert(codigos.end(), kMat1aMat9.begin(), kMat1aMat9.end());
                  codigos.push_back("MA10");
                  codigos.push_back("MATA");
                  codigos.push_back("MA11");
                  return codigos;
              }()}));

// Hundreds of clashes on one base, and codes of other bases in between, still get the first
// free number.
TEST(CodigoUnico, CientosDeChoquesDanElPrimerNumeroLibre) {
    ListaCodigos lista;
    CodigoUnico("HIST", 3, lista);
    for (int k = 1; k <= 9; ++k)
        ASSERT_EQ(CodigoUnico("HIST", 3, lista), "HIS" + std::to_string(k));
    for (int k = 10; k <= 99; ++k)
        ASSERT_EQ(CodigoUnico("HIST", 3, lista), "HI" + std::to_string(k));
    EXPECT_EQ(CodigoUnico("H105", 3, lista), "H105");
    EXPECT_EQ(CodigoUnico("HIST", 3, lista), "H100");
    EXPECT_EQ(CodigoUnico("HUMA", 3, lista), "HUMA");
    EXPECT_EQ(CodigoUnico("HUMA", 3, lista), "HUM1");
    for (int k = 101; k <= 104; ++k)
        ASSERT_EQ(CodigoUnico("hist", 3, lista), "h" + std::to_string(k));
    EXPECT_EQ(CodigoUnico("HIST", 3, lista), "H106");
    for (int k = 2; k <= 9; ++k)
        ASSERT_EQ(CodigoUnico("HUMA", 3, lista), "HUM" + std::to_string(k));
    EXPECT_EQ(CodigoUnico("HUMA", 3, lista), "HU10");
}

TEST(CodigoUnico, SinNumeroLibreEsUnError) {
    ListaCodigos lista;
    for (int k = 0; k < 10000; ++k) CodigoUnico("", 3, lista);
    try {
        CodigoUnico("", 3, lista);
        FAIL() << "se esperaba un error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("9999"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace toa::exportar
