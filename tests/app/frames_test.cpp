// The frames of the two runs with the dialogs and the run bodies replaced: what the user sees,
// in order, the result code and whether the window closes.
#include "app/frames.h"

#include <QRegularExpression>
#include <QTest>

#include "fakes.h"

using toa::app::FrameEnd;
using toa::app::WindowState;

class FramesTest : public QObject {
    Q_OBJECT

  private slots:
    void frame_data();
    void frame();
    void documentThatDoesNotParseTouchesNoTable();
    void handModeRunsAgainWithTheLastDocument();
};

void FramesTest::frame_data() {
    QTest::addColumn<bool>("importing");
    QTest::addColumn<bool>("host");
    QTest::addColumn<QString>("before");  // ArchivoXML before the run
    QTest::addColumn<int>("resultBefore");
    QTest::addColumn<QString>("answer");  // confirmed in the dialog; empty: cancelled
    QTest::addColumn<bool>("bodyFails");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("after");  // ArchivoXML after the run

    const QStringList exported = {"diálogo", "espera", "exportar CENTRO", "normal",
                                  "mensaje: Proceso finalizado"};
    const QStringList imported = {"diálogo", "espera", "importar centro.xml", "normal",
                                  "mensaje: Proceso finalizado"};
    const QStringList missing = {"diálogo", "mensaje: No existe archivo"};

    QTest::newRow("export by hand") << false << false << "" << 0 << "centro.xml" << false
                                    << exported << 1 << false << "centro.xml";
    QTest::newRow("export for the host") << false << true << "" << 0 << "centro.xml" << false
                                         << exported << 1 << true << "centro.xml";
    QTest::newRow("import for the host") << true << true << "" << 0 << "centro.xml" << false
                                         << imported << 1 << true << "centro.xml";
    QTest::newRow("host, first dialog cancelled")
        << false << true << "" << 0 << "" << false << missing << -1 << true << "";
    QTest::newRow("hand, first dialog cancelled")
        << true << false << "" << 0 << "" << false << missing << 0 << false << "";
    QTest::newRow("hand, missing file keeps the code")
        << false << false << "" << 1 << "falta.xml" << false << missing << 1 << false
        << "falta.xml";
    QTest::newRow("cancel reuses the document chosen before")
        << true << false << "centro.xml" << 1 << "" << false << imported << 1 << false
        << "centro.xml";
    QTest::newRow("typed name that does not exist")
        << true << true << "centro.xml" << 0 << "falta.xml" << false << missing << -1 << true
        << "falta.xml";
    QTest::newRow("a folder is no file") << false << true << "" << 0 << "carpeta.xml" << false
                                         << missing << -1 << true << "carpeta.xml";
    QTest::newRow("export step fails: cursor back, code kept, window open")
        << false << true << "" << 0 << "centro.xml" << true
        << QStringList{"diálogo", "espera", "exportar CENTRO", "normal", "error"} << 0 << false
        << "centro.xml";
    QTest::newRow("import fails by hand: code kept")
        << true << false << "" << 1 << "centro.xml" << true
        << QStringList{"diálogo", "espera", "importar centro.xml", "normal", "error"} << 1 << false
        << "centro.xml";
}

void FramesTest::frame() {
    QFETCH(bool, importing);
    QFETCH(bool, host);
    QFETCH(QString, before);
    QFETCH(int, resultBefore);
    QFETCH(QString, answer);
    QFETCH(bool, bodyFails);
    QFETCH(QStringList, seen);
    QFETCH(int, result);
    QFETCH(bool, closes);
    QFETCH(QString, after);

    const Documents documents;
    FakeDialogs dialogs;
    if (!answer.isEmpty()) dialogs.answers.push_back(documents.path(answer));
    WindowState state;
    state.ModoHost = host ? 2 : 0;
    state.ArchivoXML = documents.path(before);
    state.ResultadoTransformacion = resultBefore;
    const toa::app::RunBodies bodies = loggingBodies(dialogs, bodyFails);

    const FrameEnd end = importing ? toa::app::importFrame(state, dialogs, bodies)
                                   : toa::app::exportFrame(state, dialogs, bodies);

    QCOMPARE(dialogs.log, seen);
    QCOMPARE(state.ResultadoTransformacion, result);
    QCOMPARE(toa::app::closesWindow(state, end), closes);
    QCOMPARE(state.ArchivoXML, documents.path(after));
    if (bodyFails) QVERIFY(!dialogs.lastError.empty());
}

void FramesTest::documentThatDoesNotParseTouchesNoTable() {
    const Documents documents;
    FakeDialogs dialogs;
    dialogs.answers.push_back(documents.path("roto.xml"));
    WindowState state;
    state.ModoHost = 2;

    const FrameEnd end = toa::app::exportFrame(state, dialogs, loggingBodies(dialogs));

    // No export step ran and the wait cursor never came on.
    QCOMPARE(dialogs.log, (QStringList{"diálogo", "error"}));
    QVERIFY2(dialogs.lastError.find("roto.xml") != std::string::npos, dialogs.lastError.c_str());
    QCOMPARE(state.ResultadoTransformacion, 0);
    QVERIFY(!toa::app::closesWindow(state, end));
}

void FramesTest::handModeRunsAgainWithTheLastDocument() {
    const Documents documents;
    FakeDialogs dialogs;
    dialogs.answers = {documents.path("centro.xml"), std::nullopt, std::nullopt};
    WindowState state;
    const toa::app::RunBodies bodies = loggingBodies(dialogs);

    QCOMPARE(toa::app::exportFrame(state, dialogs, bodies), FrameEnd::completed);
    QCOMPARE(toa::app::importFrame(state, dialogs, bodies), FrameEnd::completed);
    QCOMPARE(toa::app::exportFrame(state, dialogs, bodies), FrameEnd::completed);

    QCOMPARE(dialogs.log.filter(QRegularExpression("^(exportar|importar) ")),
             (QStringList{"exportar CENTRO", "importar centro.xml", "exportar CENTRO"}));
    QCOMPARE(state.ResultadoTransformacion, 1);
}

QTEST_GUILESS_MAIN(FramesTest)
#include "frames_test.moc"
