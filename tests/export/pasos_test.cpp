// The eight steps on small documents, through the whole in-memory run.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "export/export_run.h"
#include "platform/error.h"
#include "tables/definitions.h"
#include "tests/export/prueba_export.h"

namespace toa::exportar {
namespace {

using prueba::columna;
using prueba::Items;
using prueba::lista;
using Columna = std::vector<std::string>;

ExportTables exportar(const std::string& listas) {
    return buildExportTables(prueba::documento(listas));
}

std::string errorDe(const std::string& listas) {
    try {
        exportar(listas);
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

// A subject entry of "MATERIAS" with the items that matter here.
Items materia(const std::string& codLargo, const std::string& curso = "C1",
              const std::string& minutos = "60", const std::string& nombre = "Asignatura") {
    return {"M-" + codLargo, nombre, codLargo, curso, minutos};
}

// --- ASIGNOMT: steps 1 and 2 ---

struct CasoAsignaturas {
    const char* caso;
    std::vector<Items> materias;
    std::vector<Items> tareas;
    Columna cod;
    Columna codLargo;
    friend void PrintTo(const CasoAsignaturas& c, std::ostream* os) { *os << c.caso; }
};

class AsignaturasTest : public ::testing::TestWithParam<CasoAsignaturas> {};

TEST_P(AsignaturasTest, CodigosDeAsignomt) {
    const CasoAsignaturas& c = GetParam();
    const ExportTables t = exportar((c.materias.empty() ? "" : lista("MATERIAS", c.materias)) +
                                    (c.tareas.empty() ? "" : lista("TAREAS", c.tareas)));
    EXPECT_EQ(columna(t.ASIGNOMT, "COD"), c.cod) << c.caso;
    EXPECT_EQ(columna(t.ASIGNOMT, "CODLARGO"), c.codLargo) << c.caso;
}

std::vector<Items> onceMate() {
    std::vector<Items> materias;
    for (int i = 0; i < 11; ++i) materias.push_back(materia("MATE" + std::to_string(i)));
    return materias;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, AsignaturasTest,
    ::testing::Values(CasoAsignaturas{"entries with fewer than two items take nothing",
                                      {{}, {"M1"}, materia("LENG01")},
                                      {{"T1"}},
                                      {"LENG"},
                                      {"LENG01"}},
                      CasoAsignaturas{"first four characters clash",
                                      {materia("LENG01"), materia("LENG02")},
                                      {},
                                      {"LENG", "LEN1"},
                                      {"LENG01", "LENG02"}},
                      CasoAsignaturas{"long codes compared without letter case",
                                      {materia("MAT101"), materia("mat101")},
                                      {{"156", "Docencia", "Mat101", "S"}},
                                      {"MAT1"},
                                      {"MAT101"}},
                      CasoAsignaturas{"long codes differ beyond the field",
                                      {materia("MATEMATICAS1"), materia("MATEMATICAS2")},
                                      {},
                                      {"MATE", "MAT1"},
                                      {"MATEMATI", "MATEMATI"}},
                      CasoAsignaturas{"eleven clashes stay distinct as stored",
                                      onceMate(),
                                      {},
                                      {"MATE", "MAT1", "MAT2", "MAT3", "MAT4", "MAT5", "MAT6",
                                       "MAT7", "MAT8", "MAT9", "MA10"},
                                      {"MATE0", "MATE1", "MATE2", "MATE3", "MATE4", "MATE5",
                                       "MATE6", "MATE7", "MATE8", "MATE9", "MATE10"}},
                      CasoAsignaturas{"candidate ending in a blank",
                                      {materia("ABC 12"), materia("ABC")},
                                      {},
                                      {"ABC", "ABC1"},
                                      {"ABC 12", "ABC"}},
                      CasoAsignaturas{"a missing long code is empty, then a repeat",
                                      {{"M1", "Sin codigo"}, {"M2", "Otra sin codigo"}},
                                      {},
                                      {""},
                                      {""}},
                      CasoAsignaturas{"tasks share the short codes of the subjects",
                                      {materia("GUAR")},
                                      {{"281", "Guardia", "GUARDIA", "N"},
                                       {"286", "Biblioteca", "BIBLIO", "N"}},
                                      {"GUAR", "GUA1", "BIBL"},
                                      {"GUAR", "GUARDIA", "BIBLIO"}},
                      CasoAsignaturas{"no subjects: the tasks alone",
                                      {},
                                      {{"156", "Docencia", "DOCE", "S"}},
                                      {"DOCE"},
                                      {"DOCE"}}));

TEST(Asignaturas, FilasDeAsignaturasYTareas) {
    const std::string largo(45, 'n');
    const ExportTables t =
        exportar(lista("TAREAS", {{"156", "Docencia directa", "DOCENCIA", "S"}}) +
                 lista("MATERIAS", {materia("LENG1ESO", "C1", "60", largo)}));
    EXPECT_EQ(columna(t.ASIGNOMT, "NOMBRE"), (Columna{largo.substr(0, 40), "Docencia directa"}));
    EXPECT_EQ(columna(t.ASIGNOMT, "CODTAREA"), (Columna{"", "156"}));
    EXPECT_EQ(columna(t.ASIGNOMT, "ESTAREA"), (Columna{"False", "True"}));
    EXPECT_EQ(columna(t.ASIGNOMT, "MATERIA"), (Columna{"", ""}));
}

// --- ASIGNOMT2: step 3 ---

TEST(AsignaturasCurso, TodasLasEntradasConSuCursoOMarca) {
    const ExportTables t = exportar(
        lista("MATERIAS",
              {materia("LENG01", "CURSO-DOCE12"), materia("LENG02"), materia("LENG02"), {"M"}}) +
        lista("TAREAS", {{"301", "Atencion", "LENG02", "X1"}, {"302", "Reunion", "REUDEP", ""}}));
    EXPECT_EQ(columna(t.ASIGNOMT2, "COD"), (Columna{"LENG", "LENG", "LENG", "LENG", "REUD"}));
    EXPECT_EQ(columna(t.ASIGNOMT2, "MATERIA"),
              (Columna{"M-LENG01", "M-LENG02", "M-LENG02", "301", "302"}));
    EXPECT_EQ(columna(t.ASIGNOMT2, "CLAVECURSO"), (Columna{"CURSO-DOCE12", "C1", "C1", "", ""}));
    EXPECT_EQ(columna(t.ASIGNOMT2, "ALECTIVA"), (Columna{"", "", "", "X", ""}));
}

// --- PROFT and AULAT: steps 4 and 5 ---

struct CasoAbreviaturas {
    const char* caso;
    Columna abreviaturas;
    Columna codigos;
    friend void PrintTo(const CasoAbreviaturas& c, std::ostream* os) { *os << c.caso; }
};

class ProfesoresTest : public ::testing::TestWithParam<CasoAbreviaturas> {};

TEST_P(ProfesoresTest, AbrevUnico) {
    std::vector<Items> profesores;
    for (const std::string& abreviatura : GetParam().abreviaturas) {
        profesores.push_back({"E1", "01/09/2020", "Nombre", abreviatura});
    }
    EXPECT_EQ(columna(exportar(lista("PROFESORES", profesores)).PROFT, "ABREV"), GetParam().codigos)
        << GetParam().caso;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ProfesoresTest,
    ::testing::Values(
        CasoAbreviaturas{"letter case", {"GARC", "GARC", "garc"}, {"GARC", "GAR1", "gar2"}},
        CasoAbreviaturas{
            "long abbreviations clash as stored", {"GARCIA", "GARCES"}, {"GARC", "GAR1"}},
        CasoAbreviaturas{"empty abbreviations", {"", "", ""}, {"", "1", "2"}}));

class AulasTest : public ::testing::TestWithParam<CasoAbreviaturas> {};

TEST_P(AulasTest, AbrevUnico) {
    std::vector<Items> aulas;
    for (const std::string& abreviatura : GetParam().abreviaturas) {
        aulas.push_back({"D1", "Aula", abreviatura});
    }
    EXPECT_EQ(columna(exportar(lista("AULAS", aulas)).AULAT, "ABREV"), GetParam().codigos)
        << GetParam().caso;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, AulasTest,
    ::testing::Values(
        CasoAbreviaturas{"first four characters, trimmed", {"AB CDE", "ABC DE"}, {"AB C", "ABC"}},
        CasoAbreviaturas{"base of two characters", {"LAB FIS", "LAB QUI"}, {"LAB", "LA1"}},
        CasoAbreviaturas{"empty abbreviation is the candidate", {"", ""}, {"", "1"}}));

TEST(ProfesoresAulas, FilasCompletas) {
    const ExportTables t =
        exportar(lista("PROFESORES", {{"1000234567", "01/09/2015", "Garcia Lopez, Maria", "GARCIA"},
                                      {"1000234567", "01/09/2015", "Otra", "OTRA"},
                                      {"solo"}}) +
                 lista("AULAS", {{"5001", "Aula 1.01", "A101"}, {"5002"}}));
    EXPECT_EQ(columna(t.PROFT, "X_EMPLEADO"), (Columna{"1000234567", "1000234567"}));
    EXPECT_EQ(columna(t.PROFT, "F_TOMAPOS"), (Columna{"01/09/2015", "01/09/2015"}));
    EXPECT_EQ(columna(t.PROFT, "NOMBRE"), (Columna{"Garcia Lopez, Maria", "Otra"}));
    EXPECT_EQ(columna(t.PROFT, "DNI"), (Columna{"0", "0"}));
    EXPECT_EQ(columna(t.AULAT, "NOMBRE"), (Columna{"Aula 1.01"}));
    EXPECT_EQ(columna(t.AULAT, "DEPCENTRO"), (Columna{"5001"}));
}

// --- CURSOST and GRUPOST: step 6 ---

TEST(CursosGrupos, CursoDeCadaGrupo) {
    const ExportTables t = exportar(lista("CURSOS", {{"a1", "1 ESO", "", "ESO", "1"},
                                                     {"A1", "FPB", "", "", "2"},
                                                     {"a1", "repetido", "", "BACH", "9"},
                                                     {"CLAVE-LARGA", "largo", "", "LARGO", "3"},
                                                     {"solo"}}) +
                                    lista("GRUPOS", {{"G1", "1 ESO A", "a1"},
                                                     {"G2", "1 ESO B", "A1"},
                                                     {"G3", "Sin curso", "ZZ"},
                                                     {"G4", "Largo", "CLAVE-LARGA"},
                                                     {"G5", "1 ESO C", "a1"},
                                                     {"G6"}}));
    EXPECT_EQ(columna(t.CURSOST, "NIVEL"), (Columna{"ESO", "NIV", "BACH", "LARGO"}));
    EXPECT_EQ(columna(t.CURSOST, "CLAVE"), (Columna{"a1", "A1", "a1", "CLAVE-LARG"}));
    EXPECT_EQ(columna(t.GRUPOST, "NIVEL"), (Columna{"ESO", "NIV", "", "", "ESO"}));
    EXPECT_EQ(columna(t.GRUPOST, "CURSO"), (Columna{"1", "2", "", "", "1"}));
    EXPECT_EQ(columna(t.GRUPOST, "GRUPO"), (Columna{"A", "B", "o", "o", "C"}));
    EXPECT_EQ(columna(t.GRUPOST, "CLAVE"), (Columna{"G1", "G2", "G3", "G4", "G5"}));
    EXPECT_EQ(columna(t.GRUPOST, "CLAVECURSO"), (Columna{"a1", "A1", "ZZ", "CLAVE-LARG", "a1"}));
}

class GruposTest : public ::testing::TestWithParam<CasoAbreviaturas> {};

TEST_P(GruposTest, AbrevUnico) {
    std::vector<Items> grupos;
    for (const std::string& nombre : GetParam().abreviaturas) grupos.push_back({"G", nombre, "C"});
    EXPECT_EQ(columna(exportar(lista("GRUPOS", grupos)).GRUPOST, "ABREV"), GetParam().codigos)
        << GetParam().caso;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, GruposTest,
    ::testing::Values(
        CasoAbreviaturas{"groups of one course", {"1 ESO A", "1 ESO B"}, {"1 ES", "1 E1"}},
        CasoAbreviaturas{"base keeps its blank", {"ES 1A", "ES 1B"}, {"ES 1", "ES 2"}},
        CasoAbreviaturas{"trailing blank of the four characters", {"ESO A"}, {"ESO"}},
        CasoAbreviaturas{"tenth numbered code stays distinct",
                         {"ESO A", "ESO B", "ESO C", "ESO D", "ESO E", "ESO F", "ESO G", "ESO H",
                          "ESO I", "ESO J", "ESO K"},
                         {"ESO", "ESO1", "ESO2", "ESO3", "ESO4", "ESO5", "ESO6", "ESO7", "ESO8",
                          "ESO9", "ES10"}}));

// --- ASIGT: step 7 ---

struct CasoHoras {
    const char* minutos;
    int horas;
    std::string sesiones;
    friend void PrintTo(const CasoHoras& c, std::ostream* os) {
        *os << "minutos '" << c.minutos << "'";
    }
};

class HorasTest : public ::testing::TestWithParam<CasoHoras> {};

TEST_P(HorasTest, HorasYSesiones) {
    const ExportTables t = exportar(lista("GRUPOS", {{"G1", "1 ESO A", "C1"}}) +
                                    lista("MATERIAS", {materia("MATE", "C1", GetParam().minutos)}));
    EXPECT_EQ(columna(t.ASIGT, "HORAS"), Columna{std::to_string(GetParam().horas)});
    EXPECT_EQ(columna(t.ASIGT, "SESIONES"), Columna{GetParam().sesiones});
}

const std::string kTrece(13, '1');

INSTANTIATE_TEST_SUITE_P(
    Minutos, HorasTest,
    ::testing::Values(CasoHoras{"", 1, "1"}, CasoHoras{"0", 1, "1"}, CasoHoras{"-60", 1, "1"},
                      CasoHoras{"-59", 1, "1"}, CasoHoras{"+61", 2, "11"}, CasoHoras{"90", 2, "11"},
                      CasoHoras{"120", 2, "11"}, CasoHoras{"780", 13, kTrece},
                      CasoHoras{"781", 14, "1" + kTrece}, CasoHoras{"900", 15, "2" + kTrece},
                      CasoHoras{"1380", 23, "10" + kTrece},
                      CasoHoras{"2147483647", 35791395, ("35791382" + kTrece).substr(0, 20)}));

struct CasoTarea {
    const char* nombre;
    const char* cTarea;
    friend void PrintTo(const CasoTarea& c, std::ostream* os) { *os << c.nombre; }
};

class TareaTest : public ::testing::TestWithParam<CasoTarea> {};

// The tasks' short codes are numbered away from their candidates, so CTAREA shows which row
// was found.
TEST_P(TareaTest, TareaPorElNombre) {
    const ExportTables t =
        exportar(lista("MATERIAS", {materia("TARE", "C1", "60", GetParam().nombre)}) +
                 lista("TAREAS", {{"156", "Docencia", "TAREA156", "S"},
                                  {"281", "Guardia", "TAREA281", "N"},
                                  {"286", "Biblioteca", "TAREA286", "N"}}) +
                 lista("GRUPOS", {{"G1", "1 ESO A", "C1"}}));
    EXPECT_EQ(columna(t.ASIGNOMT, "COD"), (Columna{"TARE", "TAR1", "TAR2", "TAR3"}));
    EXPECT_EQ(columna(t.ASIGT, "CTAREA"), Columna{GetParam().cTarea}) << GetParam().nombre;
}

INSTANTIATE_TEST_SUITE_P(Nombres, TareaTest,
                         ::testing::Values(CasoTarea{"Guardia de recreo", "TAR2"},
                                           CasoTarea{"guardia", "TAR2"},
                                           CasoTarea{"Biblioteca", "TAR3"},
                                           CasoTarea{"Guardia en la biblioteca", "TAR3"},
                                           CasoTarea{"Matem\xC3\xA1ticas", "TAR1"}));

TEST(Asignaciones, UnaFilaPorGrupoDelCurso) {
    const ExportTables t = exportar(lista("CURSOS", {{"C1", "1 ESO", "", "ESO", "1"}}) +
                                    lista("GRUPOS", {{"G1", "1 ESO A", "C1"},
                                                     {"G2", "2 ESO A", "C2"},
                                                     {"G3", "1 ESO B", "C1"},
                                                     {"G4", "1 ESO C", "C1"},
                                                     {"G5", "Largo", "CLAVE-LARGA"}}) +
                                    lista("MATERIAS", {materia("MATE1", "C1", "90"),
                                                       materia("MATE2", "C2"),
                                                       materia("MATE1", "C2"),
                                                       materia("SINGRUPO", "C9", "1,5"),
                                                       materia("LARGO", "CLAVE-LARGA"),
                                                       {"M"}}));
    EXPECT_EQ(columna(t.ASIGNOMT, "COD"), (Columna{"MATE", "MAT1", "SING", "LARG"}));
    EXPECT_EQ(columna(t.ASIGT, "CASIG"), (Columna{"MATE", "MATE", "MATE", "MATE", "MATE"}));
    EXPECT_EQ(columna(t.ASIGT, "CGRUP"), (Columna{"1 ES", "1 E1", "1 E2", "2 ES", "2 ES"}));
    EXPECT_EQ(columna(t.ASIGT, "CLAVE"),
              (Columna{"M-MATE1", "M-MATE1", "M-MATE1", "M-MATE2", "M-MATE1"}));
    EXPECT_EQ(columna(t.ASIGT, "CLAVECURSO"), (Columna{"C1", "C1", "C1", "C2", "C2"}));
    EXPECT_EQ(columna(t.ASIGT, "NIVEL"), (Columna{"ESO", "ESO", "ESO", "", ""}));
    EXPECT_EQ(columna(t.ASIGT, "CURSO"), (Columna{"1", "1", "1", "", ""}));
    EXPECT_EQ(columna(t.ASIGT, "GRUPO"), (Columna{"A", "B", "C", "A", "A"}));
    EXPECT_EQ(columna(t.ASIGT, "HORAS"), (Columna{"2", "2", "2", "1", "1"}));
    // Without a task row "156" an ordinary subject gets no task.
    EXPECT_EQ(columna(t.ASIGT, "CTAREA"), (Columna{"", "", "", "", ""}));
    EXPECT_EQ(columna(t.ASIGT, "CPROF"), (Columna{"", "", "", "", ""}));
}

// --- DIASHORAST: step 8 ---

using Intervalo = std::vector<std::pair<std::string, std::string>>;

Intervalo intervalo(const std::string& codigo, const std::string& orden,
                    const std::string& inicio = "08:00", const std::string& fin = "08:55") {
    return {{"CODIGO_ARDEL", codigo},
            {"NOMBRE", "H" + codigo},
            {"INICIO", inicio},
            {"FIN", fin},
            {"ORDEN", orden}};
}

TEST(Tramos, NumeracionPorOrden) {
    const ExportTables t = exportar(prueba::intervalos({
        intervalo("I4", "4"),
        intervalo("I01", "01"),
        intervalo("I1", "1"),
        intervalo("I0", "0"),
        intervalo("I41", "41"),
        intervalo("IA", "A"),
        {{"CODIGO_ARDEL", "SIN"}, {"INICIO", "08:00"}, {"FIN", "09:00"}},
        intervalo("I2a", "2"),
        intervalo("I2b", "2"),
        {{"CODIGO_ARDEL", "I40"}, {"ORDEN", "40"}, {"INICIO", "09:00"}, {"FIN", "10:00"}},
    }));
    Columna porDia;
    for (std::size_t fila = 0; fila < t.DIASHORAST.recordCount(); fila += 7) {
        porDia.push_back(columna(t.DIASHORAST, "CODDIHO")[fila] + "=" +
                         columna(t.DIASHORAST, "HORA")[fila]);
    }
    EXPECT_EQ(porDia, (Columna{"I1=1", "I2a=2", "I2b=3", "I4=4", "I40=5"}));
    EXPECT_EQ(t.DIASHORAST.recordCount(), 35u);
    EXPECT_EQ(columna(t.DIASHORAST, "DIHO")[6], "71");
    EXPECT_EQ(columna(t.DIASHORAST, "DIA")[6], "7");
    EXPECT_EQ(columna(t.DIASHORAST, "TEXTOHOR")[0], "HI1");
    EXPECT_EQ(columna(t.DIASHORAST, "TEXTODIA"), Columna(35, ""));
}

TEST(Tramos, DihoDeDosCifras) {
    std::vector<Intervalo> lista12;
    for (int orden = 1; orden <= 12; ++orden) {
        lista12.push_back(intervalo("I" + std::to_string(orden), std::to_string(orden)));
    }
    const Columna diho = columna(exportar(prueba::intervalos(lista12)).DIASHORAST, "DIHO");
    EXPECT_EQ(diho[11 * 7], "112");
    EXPECT_EQ(diho[2 * 7 + 6], "73");
}

struct CasoHorario {
    const char* inicio;
    const char* fin;
    const char* desde;
    const char* hasta;
    const char* minutos;
    friend void PrintTo(const CasoHorario& c, std::ostream* os) { *os << c.inicio << "-" << c.fin; }
};

class HorarioTest : public ::testing::TestWithParam<CasoHorario> {};

// All seven days of an interval carry the same times and minutes.
TEST_P(HorarioTest, HorasYMinutosDeLosSieteDias) {
    const CasoHorario& c = GetParam();
    const ExportTables t = exportar(prueba::intervalos({intervalo("I", "1", c.inicio, c.fin)}));
    EXPECT_EQ(columna(t.DIASHORAST, "HORADESDE"), Columna(7, c.desde));
    EXPECT_EQ(columna(t.DIASHORAST, "HORAHASTA"), Columna(7, c.hasta));
    EXPECT_EQ(columna(t.DIASHORAST, "MINUTOS"), Columna(7, c.minutos));
}

INSTANTIATE_TEST_SUITE_P(Horas, HorarioTest,
                         ::testing::Values(CasoHorario{"8:00", "8:55", "08:00", "08:55", "55"},
                                           CasoHorario{"23:30", "00:30", "23:30", "00:30", "-1380"},
                                           CasoHorario{"08:00:00", "09:30", "08:00:00", "09:30",
                                                       "90"},
                                           CasoHorario{"800", "930", "0800", "0930", "60"},
                                           CasoHorario{"08.00", "09h15", "08.00", "09h15", "75"}));

struct CasoError {
    const char* caso;
    std::string listas;
    const char* mensaje;
    friend void PrintTo(const CasoError& c, std::ostream* os) { *os << c.caso; }
};

class ErrorTest : public ::testing::TestWithParam<CasoError> {};

TEST_P(ErrorTest, MensajeDeConversion) {
    EXPECT_EQ(errorDe(GetParam().listas), GetParam().mensaje) << GetParam().caso;
}

INSTANTIATE_TEST_SUITE_P(
    Casos, ErrorTest,
    ::testing::Values(CasoError{"minutes with a comma",
                                lista("GRUPOS", {{"G1", "1 ESO A", "C1"}}) +
                                    lista("MATERIAS", {materia("MATE", "C1", "1,5")}),
                                "'1,5' no es un valor entero válido"},
                      CasoError{"minutes with a unit",
                                lista("GRUPOS", {{"G1", "1 ESO A", "C1"}}) +
                                    lista("MATERIAS", {materia("MATE", "C1", "90 min")}),
                                "'90 min' no es un valor entero válido"},
                      CasoError{"step 7 fails before step 8",
                                lista("GRUPOS", {{"G1", "1 ESO A", "C1"}}) +
                                    lista("MATERIAS", {materia("MATE", "C1", "1,5")}) +
                                    prueba::intervalos({intervalo("I", "1", "8h", "9:00")}),
                                "'1,5' no es un valor entero válido"},
                      CasoError{"time with a letter",
                                prueba::intervalos({intervalo("I", "1", "8h", "9:00")}),
                                "'' no es un valor entero válido"},
                      CasoError{"hours not digits",
                                prueba::intervalos({intervalo("I", "1", "ab:00", "9:00")}),
                                "'ab' no es un valor entero válido"},
                      CasoError{"empty end", prueba::intervalos({intervalo("I", "1", "08:00", "")}),
                                "'' no es un valor entero válido"}));

// --- The whole run ---

TEST(Exportacion, DocumentoSinListasDaOchoTablasVacias) {
    xml::Document doc;
    doc.loadMemory("<SERVICIO/>", "vacio.xml");
    const ExportTables t = buildExportTables(doc);
    const std::vector<std::pair<const tables::Table*, const tables::TableDef*>> pares = {
        {&t.ASIGNOMT, &tables::ASIGNOMT}, {&t.ASIGNOMT2, &tables::ASIGNOMT2},
        {&t.PROFT, &tables::PROFT},       {&t.AULAT, &tables::AULAT},
        {&t.CURSOST, &tables::CURSOST},   {&t.GRUPOST, &tables::GRUPOST},
        {&t.ASIGT, &tables::ASIGT},       {&t.DIASHORAST, &tables::DIASHORAST}};
    for (const auto& [tabla, definicion] : pares) {
        EXPECT_EQ(tabla->name(), definicion->name);
        EXPECT_EQ(tabla->recordCount(), 0u) << tabla->name();
        ASSERT_EQ(tabla->fields().size(), definicion->fields.size()) << tabla->name();
        for (std::size_t i = 0; i < definicion->fields.size(); ++i) {
            EXPECT_EQ(tabla->fields()[i].name, definicion->fields[i].name);
        }
    }
}

TEST(Exportacion, DosVecesElMismoDocumentoDaLasMismasTablas) {
    const xml::Document doc = prueba::documento(
        lista("MATERIAS", {materia("LENG01"), materia("LENG02")}) +
        lista("PROFESORES", {{"E1", "F", "N", "GARC"}, {"E2", "F", "N", "GARC"}}) +
        lista("GRUPOS", {{"G1", "1 ESO A", "C1"}, {"G2", "1 ESO B", "C1"}}));
    const ExportTables primera = buildExportTables(doc);
    const ExportTables segunda = buildExportTables(doc);
    EXPECT_EQ(prueba::volcado(primera.ASIGNOMT), prueba::volcado(segunda.ASIGNOMT));
    EXPECT_EQ(prueba::volcado(primera.PROFT), prueba::volcado(segunda.PROFT));
    EXPECT_EQ(prueba::volcado(primera.ASIGT), prueba::volcado(segunda.ASIGT));
    EXPECT_EQ(columna(segunda.ASIGNOMT, "COD"), (Columna{"LENG", "LEN1"}));
}

}  // namespace
}  // namespace toa::exportar
