#include "import/resolucion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/soluc.h"
#include "prueba.h"
#include "tables/definitions.h"

namespace toa::importar {
namespace {

using prueba::tabla;
using tables::Table;

// Every lookup table holds a duplicate key to show that the first row in record order wins,
// and codes that differ only in letter case.
struct Busqueda : ::testing::Test {
    Table asigt = tabla(tables::ASIGT, {
                                           {{"CASIG", "MAT"}, {"CGRUP", "1A"}, {"CLAVE", "M-1A"}},
                                           {{"CASIG", "MAT"}, {"CGRUP", "1A"}, {"CLAVE", "M-bis"}},
                                           {{"CASIG", "mat"}, {"CGRUP", "1A"}, {"CLAVE", "m-min"}},
                                           {{"CASIG", "LEN"}, {"CGRUP", "1A"}, {"CLAVE", ""}},
                                           {{"CASIG", "TAB"}, {"CGRUP", "1A"}, {"CLAVE", "\t"}},
                                           {{"CASIG", "TAB"}, {"CGRUP", "SC"}, {"CLAVE", "\t"}},
                                           {{"CASIG", "TAB"}, {"CGRUP", "2B"}, {"CLAVE", "\t"}},
                                           {{"CASIG", "SPC"}, {"CGRUP", "1A"}, {"CLAVE", " K"}},
                                       });
    Table asignomt = tabla(tables::ASIGNOMT, {
                                                 {{"COD", "T1"}, {"CODTAREA", "156"}},
                                                 {{"COD", "T1"}, {"CODTAREA", "999"}},
                                                 {{"COD", "TV"}, {"CODTAREA", ""}},
                                             });
    Table grupost =
        tabla(tables::GRUPOST, {
                                   {{"ABREV", "1A"}, {"CLAVE", "G1A"}, {"CLAVECURSO", "C1"}},
                                   {{"ABREV", "1A"}, {"CLAVE", "G-bis"}, {"CLAVECURSO", "C9"}},
                                   {{"ABREV", "SC"}, {"CLAVE", "GSC"}, {"CLAVECURSO", ""}},
                                   {{"ABREV", "2B"}, {"CLAVE", "G2B"}, {"CLAVECURSO", "C2"}},
                               });
    // As the export writes it: subject rows carry a course key and a blank ALECTIVA, task rows
    // an ALECTIVA and no course key; HIS breaks that pattern to show what the fallback takes.
    Table asignomt2 =
        tabla(tables::ASIGNOMT2,
              {
                  {{"COD", "LEN"}, {"CLAVECURSO", "C1"}, {"ALECTIVA", ""}, {"MATERIA", "LEN-C1"}},
                  {{"COD", "LEN"}, {"CLAVECURSO", "C1"}, {"ALECTIVA", "S"}, {"MATERIA", "LEN-bis"}},
                  {{"COD", "GUA"}, {"CLAVECURSO", ""}, {"ALECTIVA", "S"}, {"MATERIA", "281"}},
                  {{"COD", "HIS"}, {"CLAVECURSO", "C1"}, {"ALECTIVA", "N"}, {"MATERIA", "HIS-C1"}},
                  {{"COD", "TAB"}, {"CLAVECURSO", "C1"}, {"ALECTIVA", "S"}, {"MATERIA", "TAB-C1"}},
                  {{"COD", "TAB"}, {"CLAVECURSO", ""}, {"ALECTIVA", ""}, {"MATERIA", "TAB-sin"}},
              });
    Table diashorast =
        tabla(tables::DIASHORAST, {
                                      {{"DIHO", "35"}, {"DIA", "3"}, {"CODDIHO", "K35"}},
                                      {{"DIHO", "35"}, {"DIA", "3"}, {"CODDIHO", "K-bis"}},
                                      {{"DIHO", "212"}, {"DIA", "2"}, {"CODDIHO", "K212"}},
                                      {{"DIHO", "10"}, {"DIA", "1"}, {"CODDIHO", "K10"}},
                                  });
    Table aulat = tabla(tables::AULAT, {
                                           {{"ABREV", "A1"}, {"DEPCENTRO", "D1"}},
                                           {{"ABREV", "A1"}, {"DEPCENTRO", "D-bis"}},
                                           {{"ABREV", "LAB"}, {"DEPCENTRO", "DLAB"}},
                                       });
    Resolucion resolucion{TablasBusqueda{.asigt = asigt,
                                         .asignomt = asignomt,
                                         .grupost = grupost,
                                         .asignomt2 = asignomt2,
                                         .diashorast = diashorast,
                                         .aulat = aulat}};
};

struct CasoSesion {
    const char* nombre;
    FilaSoluc fila;
    Sesion esperada;
};

TEST_F(Busqueda, ResuelveCadaSesion) {
    // FilaSoluc: ASIG, CODGRUPO, TAREA, AULA, DIA text, HORA.
    // Sesion: X_ACTIVIDAD, N_DIASEMANA, X_TRAMO, X_DEPCENTRO, X_MATERIAOMC, X_UNIDAD.
    const std::vector<CasoSesion> casos = {
        {"todo encontrado, primera fila",
         {"MAT", "1A", "T1", "A1", "3", 5},
         {"156", "3", "K35", "D1", "M-1A", "G1A"}},
        {"nada encontrado", {"ZZZ", "9Z", "TX", "XX", "9", 9}, {"TX", "", "", "", "", ""}},
        {"solo cambia la caja", {"Mat", "1a", "t1", "a1", "3", 5}, {"t1", "3", "K35", "", "", ""}},
        {"caja exacta", {"mat", "1A", "", "", "1", 0}, {"", "1", "K10", "", "m-min", "G1A"}},
        {"CODTAREA vacío vacía la actividad",
         {"MAT", "1A", "TV", "", "2", 12},
         {"", "2", "K212", "", "M-1A", "G1A"}},
        {"CLAVE vacía: ALECTIVA vacía da materia vacía",
         {"LEN", "1A", "", "", "", 0},
         {"", "", "", "", "", "G1A"}},
        {"sin asignación: ALECTIVA da MATERIA",
         {"HIS", "1A", "", "", "", 0},
         {"", "", "", "", "HIS-C1", "G1A"}},
        {"grupo sin curso: fila de tarea",
         {"GUA", "SC", "", "", "", 0},
         {"", "", "", "", "281", "GSC"}},
        {"grupo desconocido: curso vacío",
         {"GUA", "ZZ", "", "", "", 0},
         {"", "", "", "", "281", ""}},
        {"curso del grupo sin fila de ASIGNOMT2",
         {"GUA", "1A", "", "", "", 0},
         {"", "", "", "", "", "G1A"}},
        {"clave de solo control: recurso con ALECTIVA",
         {"TAB", "1A", "", "", "", 0},
         {"", "", "", "", "TAB-C1", "G1A"}},
        {"clave de solo control: recurso sin ALECTIVA la vacía",
         {"TAB", "SC", "", "", "", 0},
         {"", "", "", "", "", "GSC"}},
        {"clave de solo control: sin recurso se queda",
         {"TAB", "2B", "", "", "", 0},
         {"", "", "", "", "\t", "G2B"}},
        {"clave con blanco delante no se recorta",
         {"SPC", "1A", "", "", "", 0},
         {"", "", "", "", " K", "G1A"}},
        {"día con fracción no encuentra tramo",
         {"", "", "", "LAB", "2.5", 1},
         {"", "", "", "DLAB", "", ""}},
    };
    for (const CasoSesion& caso : casos) {
        EXPECT_EQ(resolucion.resolver(caso.fila), caso.esperada) << caso.nombre;
    }
}

TEST(ClaveTramo, DiaComoTextoSeguidoDeLaHora) {
    EXPECT_EQ(claveTramo("3", 5), "35");
    EXPECT_EQ(claveTramo("2", 12), "212");
    EXPECT_EQ(claveTramo("1", 0), "10");
    EXPECT_EQ(claveTramo("2.5", 1), "2.51");
}

TEST(Soluc, AgrupaPorProfesorYLeeDiaYHoraComoElMotor) {
    const Table soluc = tabla(tables::SOLUC, {
                                                 {{"PROF", "AB"}, {"DIA", 3.0}, {"HORA", 4.6}},
                                                 {{"PROF", "AB"}},
                                                 {{"PROF", "AB"}, {"DIA", 0.4}, {"HORA", 2.0}},
                                                 {{"PROF", "ab"}, {"DIA", 2.5}, {"HORA", 1.0}},
                                                 {{"PROF", "AB"}, {"DIA", 5.0}, {"HORA", 12.0}},
                                             });
    const Soluc vista(soluc);
    EXPECT_EQ(vista.filasDe("AB"), (std::vector<std::size_t>{0, 1, 2, 4}));
    EXPECT_EQ(vista.filasDe("ab"), (std::vector<std::size_t>{3}));
    EXPECT_TRUE(vista.filasDe("A").empty());

    // A blank DIA and one that rounds to 0 are no sessions.
    struct Esperado {
        bool sesion;
        std::string dia;
        std::int32_t hora;
    };
    const std::vector<Esperado> filas = {
        {true, "3", 5}, {false, "", 0}, {false, "", 0}, {true, "2.5", 1}, {true, "5", 12}};
    for (std::size_t fila = 0; fila < filas.size(); ++fila) {
        EXPECT_EQ(vista.esSesion(fila), filas[fila].sesion) << fila;
        if (!filas[fila].sesion) continue;
        EXPECT_EQ(vista.fila(fila).dia, filas[fila].dia) << fila;
        EXPECT_EQ(vista.fila(fila).hora, filas[fila].hora) << fila;
    }
}

}  // namespace
}  // namespace toa::importar
