#include "import/import_run.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/error.h"
#include "prueba.h"
#include "tables/dbase_file.h"
#include "tables/definitions.h"

namespace toa::importar {
namespace {

namespace fs = std::filesystem;
using prueba::Fila;
using prueba::tabla;
using tables::FieldKind;
using tables::TableDef;

constexpr std::string_view kDocumento =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
    "<SERVICIO><CABECERA>IES</CABECERA><SALIDAS><listasal seq=\"PROFESORES\"><listasal>"
    "<salida>1</salida><salida>2</salida></listasal></listasal></SALIDAS></SERVICIO>\n";

// Only the fields the import reads, and one more: the rest of SOLUC's usual layout is not needed.
const TableDef kSolucMinima{"SOLUC",
                            {{"PROF", FieldKind::Text, 4},
                             {"ASIG", FieldKind::Text, 4},
                             {"CODGRUPO", FieldKind::Text, 4},
                             {"TAREA", FieldKind::Text, 4},
                             {"AULA", FieldKind::Text, 4},
                             {"DIA", FieldKind::Float},
                             {"HORA", FieldKind::Float},
                             {"OBSERVA", FieldKind::Text, 20}}};

Fila profesor(std::string abrev, std::string empleado) {
    return {{"ABREV", abrev}, {"X_EMPLEADO", empleado}, {"F_TOMAPOS", "f"}};
}

// With empty lookup tables a session shows its TAREA as X_ACTIVIDAD and nothing else.
Fila sesion(std::string prof, std::string tarea, double dia) {
    return {{"PROF", prof}, {"TAREA", tarea}, {"DIA", dia}, {"HORA", 1.0}};
}

std::string estado(int profesores) {
    return "ERROR(0,Servicio finalizado Correctamente," + std::to_string(profesores) + ")";
}

struct Importacion : ::testing::Test {
    prueba::UnidadC unidad;
    // The path as the window gives it on Windows: found whatever its letter case.
    fs::path carpeta = unidad.raiz() / "drive_c" / "Datos";
    fs::path documento = carpeta / "centro.xml";
    fs::path resultado = carpeta / "ResultadoOrbetacentro.xml";
    std::string archivoXML = "c:\\DATOS\\centro.xml";
    TablasImportacion tablas;
    std::optional<xml::Document> docXML;

    void SetUp() override {
        fs::create_directories(carpeta);
        prueba::escribirArchivo(documento, kDocumento);
        for (const TableDef* def :
             {&tables::GRUPOST, &tables::CURSOST, &tables::PROFT, &tables::AULAT, &tables::ASIGNOMT,
              &tables::ASIGNOMT2, &tables::DIASHORAST, &tables::ASIGT}) {
            poner(tables::Table(*def));
        }
        poner(tables::Table(kSolucMinima));
    }

    void poner(const tables::Table& tabla) { tables::replaceTable(unidad.xtemp(), tabla); }

    ImportSummary importar() { return runImport(archivoXML, tablas, docXML); }

    std::string guardado() const {
        xml::Document leido;
        leido.load(resultado);
        return prueba::esquema(leido.documentElement());
    }

    bool tablasCerradas() {
        for (const tables::TableComponent* tabla : enOrden(tablas)) {
            if (tabla->active()) return false;
        }
        return true;
    }

    std::set<std::string> archivosDeLaCarpeta() const {
        std::set<std::string> nombres;
        for (const auto& entrada : fs::directory_iterator(carpeta)) {
            nombres.insert(entrada.path().filename().string());
        }
        return nombres;
    }
};

struct CasoBloque {
    const char* nombre;
    std::vector<Fila> proft;
    std::vector<Fila> soluc;
    std::string salidas;
};

TEST_F(Importacion, EscribeProfesoresYSesiones) {
    const std::vector<CasoBloque> casos = {
        {"PROFT vacío", {}, {sesion("AB", "t1", 1)}, estado(0)},
        {"sin filas, solo día 0, y el número siguiente",
         {profesor("AB", "E1"), profesor("CD", "E2"), profesor("EF", "E3")},
         {sesion("CD", "t1", 0), sesion("EF", "t2", 1)},
         estado(3) + ",EMP_1(E1,f),EMP_2(E2,f),EMP_3(E3,f,TRAMO_1(t2,,,,,))"},
        {"día 0, en blanco o que redondea a 0 no numera; cada profesor empieza en 1",
         {profesor("AB", "E1"), profesor("CD", "E2")},
         {sesion("AB", "t1", 1),
          sesion("AB", "t2", 0),
          {{"PROF", "AB"}, {"TAREA", "t3"}},
          sesion("AB", "t4", 0.4),
          sesion("CD", "t5", 2),
          sesion("AB", "t6", 5)},
         estado(2) + ",EMP_1(E1,f,TRAMO_1(t1,,,,,),TRAMO_2(t6,,,,,)),EMP_2(E2,f,TRAMO_1(t5,,,,,))"},
        {"PROF sin profesor o con otra caja no aparece",
         {profesor("AB", "E1")},
         {sesion("ZZ", "t1", 1), sesion("ab", "t2", 1), sesion("AB", "t3", 1)},
         estado(1) + ",EMP_1(E1,f,TRAMO_1(t3,,,,,))"},
        {"dos profesores con la misma ABREV",
         {profesor("AB", "E1"), profesor("AB", "E2")},
         {sesion("AB", "t1", 1), sesion("AB", "t2", 3)},
         estado(2) + ",EMP_1(E1,f,TRAMO_1(t1,,,,,),TRAMO_2(t2,,,,,))" +
             ",EMP_2(E2,f,TRAMO_1(t1,,,,,),TRAMO_2(t2,,,,,))"},
        {"ABREV con comilla",
         {profesor("O'N", "E1"), profesor("ON", "E2")},
         {sesion("O'N", "t1", 1), sesion("ON", "t2", 1), sesion("O''N", "t3", 1)},
         estado(2) + ",EMP_1(E1,f,TRAMO_1(t1,,,,,)),EMP_2(E2,f,TRAMO_1(t2,,,,,))"},
        {"textos de 8 bits",
         {{{"ABREV", "MU\xD1O"},
           {"X_EMPLEADO",
            "\xD1U\xD1"
            "EZ"},
           {"F_TOMAPOS", "1\xBA"}}},
         {sesion("MU\xD1O",
                 "\xC1"
                 "B",
                 1)},
         estado(1) + ",EMP_1(ÑUÑEZ,1º,TRAMO_1(ÁB,,,,,))"},
    };
    for (const CasoBloque& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        poner(tabla(tables::PROFT, caso.proft));
        poner(tabla(kSolucMinima, caso.soluc));
        const ImportSummary resumen = importar();
        EXPECT_EQ(guardado(), "SERVICIO(CABECERA(),SALIDAS(" + caso.salidas + "))");
        EXPECT_EQ(resumen.resultado, resultado);
        EXPECT_EQ(resumen.profesores, caso.proft.size());
        EXPECT_TRUE(tablasCerradas());
        EXPECT_EQ(prueba::leerArchivo(documento), kDocumento);
    }
    // Saved in the encoding the document declares.
    const std::string bytes = prueba::leerArchivo(resultado);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", 0), 0u);
    EXPECT_NE(bytes.find(">\xD1U\xD1"
                         "EZ<"),
              std::string::npos);
}

TEST_F(Importacion, CuentaLasSesionesEscritas) {
    poner(tabla(tables::PROFT, {profesor("AB", "E1"), profesor("CD", "E2")}));
    poner(tabla(kSolucMinima, {sesion("AB", "t1", 1), sesion("CD", "t2", 0), sesion("CD", "t3", 2),
                               sesion("AB", "t4", 4)}));
    const ImportSummary resumen = importar();
    EXPECT_EQ(resumen.profesores, 2u);
    EXPECT_EQ(resumen.sesiones, 3u);
}

struct CasoDocumento {
    const char* nombre;
    std::string documento;
    std::string esquema;
};

TEST_F(Importacion, ReemplazaSalidasYDejaLoDemas) {
    const std::vector<CasoDocumento> casos = {
        {"los otros hijos se quedan en su sitio; SALIDAS nueva al final",
         "<SERVICIO><A v=\"1\">texto</A><SALIDAS><listasal "
         "seq=\"AULAS\"/></SALIDAS><B/></SERVICIO>",
         "SERVICIO(A(),B(),SALIDAS(" + estado(0) + "))"},
        {"con dos SALIDAS el bloque va a la segunda vieja y la nueva queda vacía al final",
         "<SERVICIO><SALIDAS><x/></SALIDAS><C/><SALIDAS><viejo/></SALIDAS></SERVICIO>",
         "SERVICIO(C(),SALIDAS(viejo()," + estado(0) + "),SALIDAS())"},
        {"el nombre del elemento raíz no importa", "<RAIZ><SALIDAS/></RAIZ>",
         "RAIZ(SALIDAS(" + estado(0) + "))"},
    };
    for (const CasoDocumento& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        prueba::escribirArchivo(documento, caso.documento);
        importar();
        EXPECT_EQ(guardado(), caso.esquema);
        EXPECT_EQ(prueba::leerArchivo(documento), caso.documento);
    }
    prueba::escribirArchivo(documento, casos[0].documento);
    importar();
    EXPECT_NE(prueba::leerArchivo(resultado).find("<A v=\"1\">texto</A>"), std::string::npos);
}

// A process that holds SOLUC open, as the timetabling program does while it works on it.
class OtroPrograma {
  public:
    OtroPrograma() {
        int tubo[2];
        if (::pipe(tubo) != 0) throw std::runtime_error("pipe");
        hijo_ = ::fork();
        if (hijo_ == 0) {
            ::close(tubo[0]);
            tables::TableComponent soluc("c:\\xtemp", "SOLUC");
            soluc.open();
            (void)!::write(tubo[1], "x", 1);
            ::pause();
            ::_exit(0);
        }
        ::close(tubo[1]);
        char listo = 0;
        const bool abierta = ::read(tubo[0], &listo, 1) == 1;
        ::close(tubo[0]);
        if (!abierta) throw std::runtime_error("el otro programa no pudo abrir SOLUC");
    }
    ~OtroPrograma() {
        ::kill(hijo_, SIGKILL);
        ::waitpid(hijo_, nullptr, 0);
    }

  private:
    pid_t hijo_ = -1;
};

struct CasoFallo {
    const char* nombre;
    std::function<void(Importacion&)> romper;
    std::function<void(Importacion&)> reparar;
    std::vector<std::string> mensaje;
};

TEST_F(Importacion, UnFalloNoDejaResultadoYCierraLasTablas) {
    std::optional<OtroPrograma> otro;
    const TableDef proftSinAbrev{
        "PROFT", {{"X_EMPLEADO", FieldKind::Text, 10}, {"F_TOMAPOS", FieldKind::Text, 10}}};
    const TableDef solucSinDia{"SOLUC",
                               {{"PROF", FieldKind::Text, 4},
                                {"ASIG", FieldKind::Text, 4},
                                {"CODGRUPO", FieldKind::Text, 4},
                                {"TAREA", FieldKind::Text, 4},
                                {"AULA", FieldKind::Text, 4},
                                {"HORA", FieldKind::Float}}};
    const auto documentoBueno = [](Importacion& t) { prueba::escribirArchivo(t.documento, kDocumento); };
    const std::vector<CasoFallo> casos = {
        {"documento que no se analiza",
         [](Importacion& t) { prueba::escribirArchivo(t.documento, "<SERVICIO><SALIDAS>"); },
         documentoBueno,
         {"centro.xml"}},
        {"documento sin SALIDAS",
         [](Importacion& t) { prueba::escribirArchivo(t.documento, "<SERVICIO><OTRA/></SERVICIO>"); },
         documentoBueno,
         {"centro.xml", "SALIDAS"}},
        {"falta una tabla",
         [](Importacion& t) { fs::remove(t.unidad.xtemp() / "AULAT.DBF"); },
         [](Importacion& t) { t.poner(tables::Table(tables::AULAT)); },
         {"AULAT"}},
        {"tabla en uso por otro programa",
         [&](Importacion&) { otro.emplace(); },
         [&](Importacion&) { otro.reset(); },
         {"SOLUC"}},
        {"PROFT sin ABREV",
         [&](Importacion& t) { t.poner(tables::Table(proftSinAbrev)); },
         [](Importacion& t) { t.poner(tables::Table(tables::PROFT)); },
         {"PROFT", "ABREV"}},
        {"SOLUC sin DIA",
         [&](Importacion& t) { t.poner(tables::Table(solucSinDia)); },
         [](Importacion& t) { t.poner(tables::Table(kSolucMinima)); },
         {"SOLUC", "DIA"}},
        {"resultado que no se puede escribir",
         [](Importacion& t) { fs::create_directory(t.resultado); },
         [](Importacion& t) { fs::remove(t.resultado); },
         {"ResultadoOrbetacentro.xml"}},
    };
    poner(tabla(tables::PROFT, {profesor("AB", "E1")}));
    for (const CasoFallo& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        caso.romper(*this);
        const std::set<std::string> antes = archivosDeLaCarpeta();
        try {
            importar();
            ADD_FAILURE() << "la importación no falló";
        } catch (const Error& fallo) {
            for (const std::string& parte : caso.mensaje) {
                EXPECT_NE(std::string(fallo.what()).find(parte), std::string::npos) << fallo.what();
            }
        }
        EXPECT_EQ(archivosDeLaCarpeta(), antes);
        EXPECT_FALSE(fs::is_regular_file(resultado));
        EXPECT_TRUE(tablasCerradas());

        caso.reparar(*this);
        importar();
        EXPECT_TRUE(fs::is_regular_file(resultado));
        fs::remove(resultado);
    }
}

TEST(NombreResultado, AnteponeResultadoOrbetaAlNombre) {
    const std::vector<std::pair<std::string, std::string>> casos = {
        {"C:\\datos\\centro.xml", "C:\\datos\\ResultadoOrbetacentro.xml"},
        {"C:centro.xml", "C:ResultadoOrbetacentro.xml"},
        {"\\\\servidor\\horarios\\centro.xml", "\\\\servidor\\horarios\\ResultadoOrbetacentro.xml"},
        {"centro.xml", "ResultadoOrbetacentro.xml"},
        {"/home/ana/horario 2024.xml", "/home/ana/ResultadoOrbetahorario 2024.xml"},
        {"C:\\datos/sub\\centro.xml", "C:\\datos/sub\\ResultadoOrbetacentro.xml"},
        {"/home/ana\\centro.xml", "/home/ana\\ResultadoOrbetacentro.xml"},
    };
    for (const auto& [archivo, esperado] : casos) {
        EXPECT_EQ(nombreResultado(archivo), esperado) << archivo;
    }
}

}  // namespace
}  // namespace toa::importar
