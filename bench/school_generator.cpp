#include "bench/school_generator.h"

#include <array>
#include <cstddef>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/exchange_document.h"
#include "tables/dbase_file.h"
#include "tables/definitions.h"

namespace toa::bench {
namespace {

struct Materia {
    std::string_view raiz;  // first four characters of its long codes
    std::string_view nombre;
};

constexpr std::array<Materia, 25> kMaterias = {{
    {"MATE", "Matemáticas"},
    {"LENG", "Lengua Castellana y Literatura"},
    {"INGL", "Inglés"},
    {"FRAN", "Francés"},
    {"GEOH", "Geografía e Historia"},
    {"BIOG", "Biología y Geología"},
    {"FIQU", "Física y Química"},
    {"TECN", "Tecnología"},
    {"MUSI", "Música"},
    {"EDFI", "Educación Física"},
    {"PLAS", "Educación Plástica, Visual y Audiovisual"},
    {"RELI", "Religión"},
    {"VAET", "Valores Éticos"},
    {"LATI", "Latín"},
    {"GRIE", "Griego"},
    {"FILO", "Filosofía"},
    {"ECON", "Economía"},
    {"DIBU", "Dibujo Técnico"},
    {"TICO", "Tecnologías de la Información y la Comunicación"},
    {"TUTO", "Tutoría"},
    {"MATA", "Matemáticas Aplicadas"},
    {"LENC", "Lengua Cooficial"},
    {"GUAR", "Guardia de recreo"},
    {"BIBL", "Biblioteca escolar"},
    {"GUBI", "Guardia en la biblioteca"},
}};

constexpr std::array<std::string_view, 12> kApellidos = {
    "García",  "Garcés",  "González", "Gonzalo", "Martínez", "Martín",
    "Sánchez", "Sanchís", "López",    "Lorenzo", "Pérez",    "Peña"};
constexpr std::array<std::string_view, 6> kNombres = {"María", "José",  "Lucía",
                                                      "Ángel", "Nuria", "Íñigo"};
constexpr std::array<std::string_view, 5> kNiveles = {"ESO", "BACH", "CFGM", "CFGS", "FPB"};
constexpr std::array<std::string_view, 4> kAulas = {"Aula", "Laboratorio", "Taller",
                                                    "Aula Plumier"};

// Upper case of the letters a few Spanish names need, for abbreviations.
std::string mayusculas(std::string_view texto) {
    std::string salida;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        const auto c = static_cast<unsigned char>(texto[i]);
        if (c >= 'a' && c <= 'z') {
            salida += static_cast<char>(c - 32);
        } else if (c == 0xC3 && i + 1 < texto.size()) {
            // Á É Í Ó Ú Ñ and their small letters share the lead byte; keep the capital.
            salida += '\xC3';
            const auto siguiente = static_cast<unsigned char>(texto[++i]);
            salida += static_cast<char>(siguiente >= 0xA0 ? siguiente - 0x20 : siguiente);
        } else {
            salida += static_cast<char>(c);
        }
    }
    return salida;
}

class Documento {
  public:
    void abrirLista(std::string_view seq) {
        texto_ += "    <listasal seq=\"";
        texto_ += seq;
        texto_ += "\">\n";
    }
    void cerrarLista() { texto_ += "    </listasal>\n"; }

    template <typename... Items>
    void entrada(const Items&... items) {
        texto_ += "      <listasal>";
        (item(items), ...);
        texto_ += "</listasal>\n";
    }
    void intervalo(std::string_view codigo, std::string_view nombre, std::string_view inicio,
                   std::string_view fin, std::string_view orden) {
        texto_ += "      <listasal>";
        dato("CODIGO_ARDEL", codigo);
        dato("NOMBRE", nombre);
        dato("INICIO", inicio);
        dato("FIN", fin);
        dato("ORDEN", orden);
        texto_ += "</listasal>\n";
    }
    std::string& texto() { return texto_; }

  private:
    void item(std::string_view valor) {
        texto_ += "<salida>";
        texto_ += valor;
        texto_ += "</salida>";
    }
    void dato(std::string_view nombre, std::string_view valor) {
        texto_ += "<salida dato=\"";
        texto_ += nombre;
        texto_ += "\">";
        texto_ += valor;
        texto_ += "</salida>";
    }

    std::string texto_;
};

// Beyond scale 10 the four-character code fields cannot number more clashing codes: a base has
// 9,999 numbers at most and the four-digit ones are shared by all bases. The schools of every
// further block of ten scales get codes of their own that clash with nothing: an accented
// capital (which no code of the first block begins with) and three base-36 digits.
constexpr int kBloque = 10;

std::string sinChoque(int n) {
    constexpr std::array<std::string_view, 8> kIniciales = {"\xC3\x81", "\xC3\x89", "\xC3\x8D",
                                                            "\xC3\x93", "\xC3\x9A", "\xC3\x91",
                                                            "\xC3\x87", "\xC3\x9C"};
    constexpr std::string_view kCifras = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    constexpr int kPorInicial = 36 * 36 * 36;
    std::string codigo(kIniciales.at(static_cast<std::size_t>(n / kPorInicial)));
    for (int peso = 36 * 36; peso > 0; peso /= 36) {
        codigo += kCifras[static_cast<std::size_t>(n % kPorInicial / peso % 36)];
    }
    return codigo;
}

// True for the entries past the first block of ten scales.
bool fueraDelPrimerBloque(int indice, int porEscala) {
    return indice >= porEscala * kBloque;
}

std::string dosCifras(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string hora(int minutos) {
    return dosCifras(minutos / 60) + ":" + dosCifras(minutos % 60);
}

}  // namespace

std::string schoolDocument(int scale) {
    const int cursos = 40 * scale;
    const int gruposPorCurso = 3;
    const int materias = 2000 * scale;
    const int tareas = 30 * scale;
    const int profesores = 150 * scale;
    const int aulas = 60 * scale;
    const int intervalos = 40 * scale;

    Documento doc;
    doc.texto() =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<SERVICIO>\n  <CABECERA><CENTRO>30000001</CENTRO><CURSO>2024</CURSO></CABECERA>\n"
        "  <SALIDAS>\n";

    doc.abrirLista("CURSOS");
    for (int c = 0; c < cursos; ++c) {
        const std::string_view nivel = kNiveles[static_cast<std::size_t>(c) % kNiveles.size()];
        const std::string numero = std::to_string(c / static_cast<int>(kNiveles.size()) % 4 + 1);
        doc.entrada("6" + std::to_string(100000 + c), numero + "º " + std::string(nivel), "",
                    std::string(nivel), numero);
    }
    doc.cerrarLista();

    doc.abrirLista("GRUPOS");
    for (int g = 0; g < cursos * gruposPorCurso; ++g) {
        const int c = g / gruposPorCurso;
        const std::string_view nivel = kNiveles[static_cast<std::size_t>(c) % kNiveles.size()];
        const std::string numero = std::to_string(c / static_cast<int>(kNiveles.size()) % 4 + 1);
        const char letra = static_cast<char>('A' + g % gruposPorCurso + c / 20 % 5 * 3);
        doc.entrada("7" + std::to_string(200000 + g),
                    fueraDelPrimerBloque(g, 120) ? sinChoque(g) + " " + std::string(nivel)
                                                 : numero + " " + std::string(nivel) + " " + letra,
                    "6" + std::to_string(100000 + c));
    }
    doc.cerrarLista();

    doc.abrirLista("MATERIAS");
    const int materiasPorCurso = materias / cursos;
    for (int m = 0; m < materias; ++m) {
        const int c = m / materiasPorCurso;
        const Materia& materia =
            kMaterias[static_cast<std::size_t>(m % materiasPorCurso) % kMaterias.size()];
        // The same subject twice in a course, now and then, repeats its long code.
        const int bloque = m % materiasPorCurso / static_cast<int>(kMaterias.size());
        std::string codLargo = std::string(materia.raiz) + std::to_string(c * 2 + bloque);
        if (m % 97 == 5) codLargo = std::string(materia.raiz) + std::to_string(c * 2);
        if (fueraDelPrimerBloque(m, 2000)) codLargo = sinChoque(m);
        const int minutos = m % 11 == 0 ? 0 : 55 * (1 + m % 5);
        doc.entrada(std::to_string(900000 + m), std::string(materia.nombre), codLargo,
                    "6" + std::to_string(100000 + c), m % 23 == 0 ? "" : std::to_string(minutos));
    }
    doc.cerrarLista();

    doc.abrirLista("TAREAS");
    constexpr std::array<std::string_view, 3> kTareasFijas = {"156", "281", "286"};
    constexpr std::array<std::string_view, 3> kNombresFijos = {"Docencia", "Guardia", "Biblioteca"};
    for (int t = 0; t < tareas; ++t) {
        const bool fija = t < static_cast<int>(kTareasFijas.size());
        const auto i = static_cast<std::size_t>(t);
        doc.entrada(
            fija ? std::string(kTareasFijas[i]) : std::to_string(300 + t),
            fija ? std::string(kNombresFijos[i]) : "Tarea de coordinación " + std::to_string(t),
            fueraDelPrimerBloque(t, 30)
                ? sinChoque(materias + t)
                : (fija ? std::string(kTareasFijas[i]) : "TCOO" + std::to_string(t)) + "T",
            t % 2 == 0 ? "S" : "N");
    }
    doc.cerrarLista();

    doc.abrirLista("PROFESORES");
    for (int p = 0; p < profesores; ++p) {
        const std::string_view apellido =
            kApellidos[static_cast<std::size_t>(p) % kApellidos.size()];
        const std::string_view segundo =
            kApellidos[static_cast<std::size_t>(p / 7) % kApellidos.size()];
        const std::string_view nombre = kNombres[static_cast<std::size_t>(p) % kNombres.size()];
        doc.entrada(std::to_string(1000000000 + p * 7919), "01/09/20" + dosCifras(10 + p % 14),
                    std::string(apellido) + " " + std::string(segundo) + ", " + std::string(nombre),
                    fueraDelPrimerBloque(p, 150) ? sinChoque(p)
                                                 : mayusculas(apellido) + std::to_string(p / 12));
    }
    doc.cerrarLista();

    doc.abrirLista("AULAS");
    for (int a = 0; a < aulas; ++a) {
        const std::string_view tipo = kAulas[static_cast<std::size_t>(a) % kAulas.size()];
        const std::string numero = std::to_string(a / 4 + 1);
        doc.entrada(std::to_string(500000 + a), std::string(tipo) + " " + numero,
                    (fueraDelPrimerBloque(a, 60) ? sinChoque(a) : mayusculas(tipo.substr(0, 4))) +
                        " " + numero);
    }
    doc.cerrarLista();

    doc.abrirLista("INTERVALOS");
    for (int i = 0; i < intervalos; ++i) {
        const int orden = i % 40 + 1;
        const int inicio = 8 * 60 + (orden - 1) * 20;
        doc.intervalo(std::to_string(800000 + i), "T" + std::to_string(orden), hora(inicio),
                      hora(inicio + 20), std::to_string(orden));
    }
    doc.cerrarLista();

    doc.texto() += "  </SALIDAS>\n</SERVICIO>\n";
    return std::move(doc.texto());
}

namespace {

std::vector<std::string> columna(const tables::Table& tabla, std::string_view campo) {
    std::vector<std::string> valores;
    const std::size_t indice = tabla.fieldIndex(campo);
    for (std::size_t fila = 0; fila < tabla.recordCount(); ++fila) {
        valores.push_back(tabla.asString(fila, indice));
    }
    return valores;
}

}  // namespace

std::size_t solucRows(int scale) {
    return 6000 * static_cast<std::size_t>(scale);
}

tables::Table schoolSoluc(const exportar::ExportTables& school, std::size_t rows) {
    const std::vector<std::string> asignaturas = columna(school.ASIGT, "CASIG");
    const std::vector<std::string> grupos = columna(school.ASIGT, "CGRUP");
    const std::vector<std::string> profesores = columna(school.PROFT, "ABREV");
    const std::vector<std::string> aulas = columna(school.AULAT, "ABREV");
    const std::vector<std::string> tareas = columna(school.ASIGNOMT, "COD");
    tables::Table soluc(tables::SOLUC);
    const std::size_t asig = soluc.fieldIndex("ASIG");
    const std::size_t prof = soluc.fieldIndex("PROF");
    const std::size_t codgrupo = soluc.fieldIndex("CODGRUPO");
    const std::size_t aula = soluc.fieldIndex("AULA");
    const std::size_t tarea = soluc.fieldIndex("TAREA");
    const std::size_t dia = soluc.fieldIndex("DIA");
    const std::size_t hora = soluc.fieldIndex("HORA");
    const std::size_t sesiones = soluc.fieldIndex("SESIONES");
    for (std::size_t i = 0; i < rows; ++i) {
        const std::size_t fila = soluc.append();
        const std::size_t asignacion = i * 7919 % asignaturas.size();
        soluc.setString(fila, asig, asignaturas[asignacion]);
        soluc.setString(fila, codgrupo,
                        grupos[i % 7 == 3 ? (asignacion + 1) % grupos.size() : asignacion]);
        soluc.setString(fila, prof, profesores[i % profesores.size()]);
        soluc.setString(fila, aula, aulas[i % aulas.size()]);
        soluc.setString(fila, tarea, tareas[tareas.size() - 1 - i % 30 % tareas.size()]);
        soluc.setFloat(fila, dia, i % 11 == 0 ? 0 : static_cast<double>(1 + i % 5));
        soluc.setFloat(fila, hora, static_cast<double>(1 + i / 5 % 40));
        soluc.setFloat(fila, sesiones, 1);
    }
    return soluc;
}

std::filesystem::path prepareSchool(const std::filesystem::path& root, int scale,
                                    std::size_t rows) {
    const std::filesystem::path xtemp = root / "drive_c" / "XTEMP";
    std::filesystem::create_directories(xtemp);
    const std::filesystem::path documento = root / "centro.xml";
    std::ofstream(documento, std::ios::binary) << schoolDocument(scale);
    const exportar::ExportTables tablas =
        exportar::buildExportTables(exchange::loadExchangeDocument(documento));
    exportar::writeExportTables(xtemp, tablas);
    tables::replaceTable(xtemp, schoolSoluc(tablas, rows));
    return documento;
}

}  // namespace toa::bench
