// The window with its dialogs replaced, drawn offscreen: the command line from creation to the
// result file, closing, help, and a face whose texts fit their controls.
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "app/application.h"
#include "app/mform.h"
#include "fakes.h"

using toa::app::TMForm;

namespace {

// A window made from a command line, with the file dialog answering `answer` once.
struct Rig {
    explicit Rig(const QStringList& parameters, const QString& answer = "centro.xml",
                 bool fakeEmbedding = true) {
        if (!answer.isEmpty()) dialogs.answers.push_back(documents.path(answer));
        std::vector<std::string> words;
        for (const QString& parameter : parameters) words.push_back(parameter.toStdString());
        toa::app::Surroundings surroundings{dialogs, loggingBodies(dialogs), toa::app::embedInHost,
                                            resultFile()};
        if (fakeEmbedding) {
            surroundings.embed = [this](QWidget&, std::uint32_t handle) {
                embeddedIn = handle;
                return true;
            };
        }
        form = std::make_unique<TMForm>(toa::app::CommandLine(std::move(words)),
                                        std::move(surroundings));
    }

    std::filesystem::path resultFile() const {
        return (executableFolder.path() + "/Tabuleo.ini").toStdString();
    }
    // The value the host would read, or none when there is no file.
    std::optional<QString> result() const {
        const QString path = QString::fromStdString(resultFile().string());
        if (!QFile::exists(path)) return std::nullopt;
        return QSettings(path, QSettings::IniFormat)
            .value("Transformadores/Transformado")
            .toString();
    }
    // Shows the window and lets the run named on the command line happen.
    void show() {
        form->show();
        QCoreApplication::processEvents();
    }
    QStringList runs() const { return dialogs.log.filter(QRegularExpression("^(ex|im)portar ")); }

    Documents documents;
    QTemporaryDir executableFolder;
    FakeDialogs dialogs;
    std::optional<std::uint32_t> embeddedIn;
    std::unique_ptr<TMForm> form;
};

void clickSalir(TMForm& form) {
    QTest::mouseClick(form.findChild<QPushButton*>("BClose"), Qt::LeftButton);
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { toa::app::setUpApplication(); }
    void commandLine_data();
    void commandLine();
    void handleNamingNoWindowLeavesANormalWindow();
    void resultFileThatCannotBeWrittenStillCloses();
    void help_data();
    void help();
    void textsFitTheirControls();
};

void WindowTest::commandLine_data() {
    QTest::addColumn<QStringList>("parameters");
    QTest::addColumn<QString>("answer");   // empty: the file dialog is cancelled
    QTest::addColumn<qint64>("embedded");  // -1: not embedded
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("modoHost");
    QTest::addColumn<QStringList>("ranAtShow");
    QTest::addColumn<bool>("closesItself");
    QTest::addColumn<QString>("result");  // empty: no Tabuleo.ini

    const QStringList exported{"exportar CENTRO"};
    const QStringList imported{"importar centro.xml"};
    const QStringList none;
    const QString doc = "centro.xml";

    QTest::newRow("exportar 1A2B")
        << QStringList{"exportar", "1A2B"} << doc << 0x1A2BLL << "" << 2 << exported << true << "1";
    QTest::newRow("IMPORTAR in capitals")
        << QStringList{"IMPORTAR", "1a2b"} << doc << 0x1A2BLL << "" << 2 << imported << true << "1";
    QTest::newRow("mixed case, leading zeros")
        << QStringList{"ExPortar", "00ff"} << doc << 0xFFLL << "" << 2 << exported << true << "1";
    QTest::newRow("largest handle") << QStringList{"exportar", "FFFFFFFF"} << doc << 0xFFFFFFFFLL
                                    << "" << 2 << exported << true << "1";
    QTest::newRow("host cancels the first dialog")
        << QStringList{"exportar", "1A2B"} << "" << 0x1A2BLL << "" << 2 << none << true << "-1";
    QTest::newRow("neither word: waits, closed by Salir")
        << QStringList{"ver", "1A2B"} << doc << 0x1A2BLL << "" << 2 << none << false << "0";
    QTest::newRow("the action is not trimmed")
        << QStringList{" exportar", "1A2B"} << doc << 0x1A2BLL << "" << 2 << none << false << "0";
    QTest::newRow("no parameters")
        << QStringList{} << doc << -1LL << "" << 0 << none << false << "";
    QTest::newRow("one parameter")
        << QStringList{"exportar"} << doc << -1LL << "" << 0 << none << false << "";
    QTest::newRow("three parameters")
        << QStringList{"exportar", "1A2B", "x"} << doc << -1LL << "" << 0 << none << false << "";
    QTest::newRow("12G4: error box, normal window, export still runs")
        << QStringList{"exportar", "12G4"} << doc << -1LL << "'$12G4' no es un valor entero válido"
        << 0 << exported << false << "";
    QTest::newRow("more than 32 bits")
        << QStringList{"importar", "100000000"} << doc << -1LL
        << "'$100000000' no es un valor entero válido" << 0 << imported << false << "";
    QTest::newRow("prefix of its own")
        << QStringList{"exportar", "0x1A2B"} << doc << -1LL
        << "'$0x1A2B' no es un valor entero válido" << 0 << exported << false << "";
    QTest::newRow("empty handle") << QStringList{"ver", ""} << doc << -1LL
                                  << "'$' no es un valor entero válido" << 0 << none << false << "";
}

void WindowTest::commandLine() {
    QFETCH(QStringList, parameters);
    QFETCH(QString, answer);
    QFETCH(qint64, embedded);
    QFETCH(QString, error);
    QFETCH(int, modoHost);
    QFETCH(QStringList, ranAtShow);
    QFETCH(bool, closesItself);
    QFETCH(QString, result);

    Rig rig(parameters, answer);
    QSignalSpy closed(rig.form.get(), &TMForm::closed);
    QCOMPARE(rig.embeddedIn.has_value() ? qint64(*rig.embeddedIn) : -1LL, embedded);
    QCOMPARE(QString::fromStdString(rig.dialogs.lastError), error);
    QCOMPARE(rig.form->state().ModoHost, modoHost);
    QCOMPARE(rig.form->state().ResultadoTransformacion, 0);

    rig.show();
    QCOMPARE(rig.runs(), ranAtShow);
    QCOMPARE(rig.form->isVisible(), !closesItself);
    QCOMPARE(closed.count(), closesItself ? 1 : 0);
    if (!closesItself) clickSalir(*rig.form);
    QVERIFY(!rig.form->isVisible());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(rig.result().value_or(""), result);
}

void WindowTest::handleNamingNoWindowLeavesANormalWindow() {
    // Qt's offscreen platform reaches no foreign window, as a handle naming none.
    Rig rig({"exportar", "1A2B"}, "", false);
    QVERIFY(!rig.form->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(toa::app::hostWindow(*rig.form), nullptr);
    QCOMPARE(rig.form->state().ModoHost, 2);

    // Still the host's run: it reports to the host and closes.
    rig.show();
    QCOMPARE(rig.dialogs.log, (QStringList{"diálogo", "mensaje: No existe archivo"}));
    QVERIFY(!rig.form->isVisible());
    QCOMPARE(rig.result().value_or(""), "-1");
}

void WindowTest::resultFileThatCannotBeWrittenStillCloses() {
    Rig rig({"ver", "1A2B"});
    QVERIFY(QDir(rig.executableFolder.path()).mkdir("Tabuleo.ini"));  // a folder in its place
    QSignalSpy closed(rig.form.get(), &TMForm::closed);
    rig.show();

    clickSalir(*rig.form);

    QCOMPARE(rig.dialogs.log.last(), "error");
    QCOMPARE(QString::fromStdString(rig.dialogs.lastError),
             "Unable to write to " + QString::fromStdString(rig.resultFile().string()));
    QVERIFY(!rig.form->isVisible());
    QCOMPARE(closed.count(), 1);
}

void WindowTest::help_data() {
    QTest::addColumn<bool>("byKey");  // F1, else the button "F1 Ayuda"
    QTest::addColumn<bool>("helpFileThere");
    QTest::addColumn<QString>("viewerGot");  // the viewer's arguments, or part of the error
    QTest::newRow("button: contents") << false << true << "ARDEL.chm";
    QTest::newRow("F1: topic 3") << true << true << "-c 3 ";
    QTest::newRow("button, no help file") << false << false << "ARDEL.chm";
    QTest::newRow("F1, no help file") << true << false << "ARDEL.chm";
}

void WindowTest::help() {
    QFETCH(bool, byKey);
    QFETCH(bool, helpFileThere);
    QFETCH(QString, viewerGot);

    // Drive C: of its own, and a viewer that writes down its arguments.
    QTemporaryDir drive;
    QVERIFY(QDir(drive.path()).mkpath("drive_c/TBHELP"));
    if (helpFileThere) {
        QFile help(drive.path() + "/drive_c/TBHELP/ARDEL.chm");
        QVERIFY(help.open(QIODevice::WriteOnly));
    }
    const QString viewer = drive.path() + "/visor";
    const QString got = drive.path() + "/argumentos";
    {
        QFile script(viewer);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            ("#!/bin/sh\necho \"$@\" > " + got + ".tmp && mv " + got + ".tmp " + got + "\n")
                .toUtf8());
    }
    QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("WINEPREFIX", drive.path().toUtf8());
    qputenv("TOA_HELP_VIEWER", viewer.toUtf8());

    Rig rig({});
    rig.show();
    QVERIFY(QTest::qWaitForWindowActive(rig.form.get()));
    if (byKey) {
        QTest::keyClick(rig.form.get(), Qt::Key_F1);
    } else {
        QTest::mouseClick(rig.form->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    }

    if (helpFileThere) {
        QVERIFY(rig.dialogs.lastError.empty());
        QTRY_VERIFY(QFile::exists(got));
        QFile arguments(got);
        QVERIFY(arguments.open(QIODevice::ReadOnly));
        const QString line = QString::fromUtf8(arguments.readAll());
        QVERIFY2(line.contains(viewerGot) && line.contains("ARDEL.chm"), qPrintable(line));
        QCOMPARE(line.contains("-c "), byKey);
    } else {
        QCOMPARE(rig.dialogs.log.last(), "error");
        QVERIFY2(QString::fromStdString(rig.dialogs.lastError).contains(viewerGot),
                 rig.dialogs.lastError.c_str());
    }
    qunsetenv("TOA_HELP_VIEWER");
    qunsetenv("WINEPREFIX");
}

void WindowTest::textsFitTheirControls() {
    Rig rig({});
    TMForm& form = *rig.form;
    QCOMPARE(form.windowTitle(), "Exportar e importar datos entre Tabuleo y Ardel ");
    QCOMPARE(form.size(), QSize(632, 266));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!form.windowFlags().testAnyFlags(Qt::WindowMinimizeButtonHint |
                                             Qt::WindowMaximizeButtonHint));

    // With whatever fonts stand in for the original ones, no text is cut.
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        // Wrapped titles need their lines; the one-line version label only its glyphs.
        const QSize needed =
            label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                              : QFontMetrics(label->font()).tightBoundingRect(label->text()).size();
        QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                 qPrintable(label->objectName()));
    }
    for (const QPushButton* button : form.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QString text = QString(button->text()).remove('&');
        const int glyph = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
        QVERIFY2(QFontMetrics(button->font()).horizontalAdvance(text) + glyph <= room.width(),
                 qPrintable(button->objectName()));
    }
    // Every control lies inside the panel that holds it.
    for (const QWidget* control : form.findChildren<QWidget*>()) {
        if (control->parentWidget() == &form) continue;
        QVERIFY2(control->parentWidget()->rect().contains(control->geometry()),
                 qPrintable(control->objectName()));
    }
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
