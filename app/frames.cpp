#include "app/frames.h"

#include <exception>
#include <filesystem>

#include "exchange/exchange_document.h"
#include "export/export_run.h"
#include "platform/paths.h"

namespace toa::app {

namespace {

// The wait cursor for the length of a run's body, restored also when the body fails.
class WaitCursor {
  public:
    explicit WaitCursor(Dialogs& dialogs) : dialogs_(dialogs) { dialogs_.setWaitCursor(true); }
    ~WaitCursor() { dialogs_.setWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    Dialogs& dialogs_;
};

// Steps 1 and 2 of both frames. False when the run ends here.
bool documentFound(WindowState& state, Dialogs& dialogs) {
    if (std::optional<std::string> chosen = dialogs.chooseDocument()) state.ArchivoXML = *chosen;
    if (namesExistingFile(state.ArchivoXML)) return true;
    dialogs.showMessage("No existe archivo");
    if (state.hostMode()) state.ResultadoTransformacion = -1;
    return false;
}

// The frame around a run's body: the document first; a failure ends the run with its message
// and leaves the result code as it was.
FrameEnd framed(WindowState& state, Dialogs& dialogs, const std::function<void()>& body) {
    try {
        if (!documentFound(state, dialogs)) return FrameEnd::missingDocument;
        body();
    } catch (const std::exception& failure) {
        dialogs.showError(failure.what());
        return FrameEnd::failed;
    }
    state.ResultadoTransformacion = 1;
    dialogs.showMessage("Proceso finalizado");
    return FrameEnd::completed;
}

}  // namespace

RunBodies RunBodies::real() {
    return {
        [](const xml::Document& docXML) { exportar::runExport(docXML); },
        [](const std::string& archivoXML, importar::TablasImportacion& tablas,
           std::optional<xml::Document>& docXML) {
            importar::runImport(archivoXML, tablas, docXML);
        },
    };
}

FrameEnd exportFrame(WindowState& state, Dialogs& dialogs, const RunBodies& bodies) {
    return framed(state, dialogs, [&] {
        state.DocXML.reset();
        state.DocXML.emplace(exchange::loadExchangeDocument(userPath(state.ArchivoXML)));
        WaitCursor wait(dialogs);
        bodies.exportSteps(*state.DocXML);
    });
}

FrameEnd importFrame(WindowState& state, Dialogs& dialogs, const RunBodies& bodies) {
    return framed(state, dialogs, [&] {
        WaitCursor wait(dialogs);
        bodies.importBody(state.ArchivoXML, state.tablas, state.DocXML);
    });
}

bool closesWindow(const WindowState& state, FrameEnd end) {
    return state.hostMode() && end != FrameEnd::failed;
}

}  // namespace toa::app
