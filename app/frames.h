#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/xml_document.h"
#include "import/import_run.h"

// The frame of a run: choosing and checking the exchange document, the wait cursor, the result
// code and the closing message. The runs themselves live in export/ and import/.
namespace toa::app {

// What lives as long as the window.
struct WindowState {
    // Full path of the exchange document, as the file dialog gave it; set only when the user
    // confirms the dialog, and kept between runs.
    std::string ArchivoXML;
    // The document of the latest run that found its file.
    std::optional<xml::Document> DocXML;
    // 2 in host mode (the number of parameters), else 0.
    std::int32_t ModoHost = 0;
    // 0 nothing completed, 1 a run completed, -1 the document was missing in host mode.
    std::int32_t ResultadoTransformacion = 0;
    // The nine table components; every import run opens and closes them.
    importar::TablasImportacion tablas;

    bool hostMode() const { return ModoHost == 2; }
};

// The modal parts of a run, which the tests replace.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // OpenDialogXML: the confirmed file's full path, or none when the user cancels.
    virtual std::optional<std::string> chooseDocument() = 0;
    // The plain box with one button "Aceptar"; returns when it is dismissed.
    virtual void showMessage(std::string_view text) = 0;
    // The error box for a failure's message.
    virtual void showError(std::string_view message) = 0;
    virtual void setWaitCursor(bool wait) = 0;
};

// The bodies the frames call; by default the real export and import runs.
struct RunBodies {
    std::function<void(const xml::Document& docXML)> exportSteps;
    std::function<void(const std::string& archivoXML, importar::TablasImportacion& tablas,
                       std::optional<xml::Document>& docXML)>
        importBody;

    static RunBodies real();
};

enum class FrameEnd { missingDocument, completed, failed };

// BExportarClick: the document is loaded before the wait cursor, so a document that does not
// parse stops the run with its message before any table is touched.
FrameEnd exportFrame(WindowState& state, Dialogs& dialogs, const RunBodies& bodies);
// BImportarClick: the import body loads the document itself, under the wait cursor.
FrameEnd importFrame(WindowState& state, Dialogs& dialogs, const RunBodies& bodies);

// In host mode the window closes after a completed run and after a missing document, once the
// box has been dismissed; a failed run leaves it open.
bool closesWindow(const WindowState& state, FrameEnd end);

}  // namespace toa::app
