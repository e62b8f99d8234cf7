// The real file dialog, boxes and cursor, driven offscreen while they are open.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/application.h"
#include "app/qt_dialogs.h"

using toa::app::QtDialogs;

namespace {

// Runs `inspect` on the modal dialog once it is open; `inspect` must close it.
template <typename Dialog>
void whenOpen(const std::function<void(Dialog&)>& inspect) {
    QTimer::singleShot(0, [inspect] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        inspect(*dialog);
    });
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { toa::app::setUpApplication(); }
    void errorBoxText_data();
    void errorBoxText();
    void boxes_data();
    void boxes();
    void fileDialogOffersTheLastChoice();
    void waitCursor();
};

void DialogsTest::errorBoxText_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("full stop added") << "'$12G4' no es un valor entero válido"
                                     << "'$12G4' no es un valor entero válido.";
    QTest::newRow("full stop kept") << "No existe la tabla SOLUC."
                                    << "No existe la tabla SOLUC.";
    QTest::newRow("path at the end") << "Unable to write to /x/Tabuleo.ini"
                                     << "Unable to write to /x/Tabuleo.ini.";
    QTest::newRow("empty stays empty") << ""
                                       << "";
}

void DialogsTest::errorBoxText() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(QString::fromStdString(toa::app::errorBoxText(message.toStdString())), shown);
}

void DialogsTest::boxes_data() {
    QTest::addColumn<bool>("error");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("shown");
    QTest::newRow("message") << false << "Proceso finalizado" << int(QMessageBox::NoIcon)
                             << "Proceso finalizado";
    QTest::newRow("error") << true << "No se puede abrir la tabla SOLUC"
                           << int(QMessageBox::Critical) << "No se puede abrir la tabla SOLUC.";
}

void DialogsTest::boxes() {
    QFETCH(bool, error);
    QFETCH(QString, text);
    QFETCH(int, icon);
    QFETCH(QString, shown);

    QtDialogs dialogs;
    bool seen = false;
    whenOpen<QMessageBox>([&](QMessageBox& box) {
        seen = true;
        QCOMPARE(box.windowTitle(), "TransOrbetaArdel");
        QCOMPARE(box.text(), shown);
        QCOMPARE(int(box.icon()), icon);
        QCOMPARE(box.buttons().size(), 1);
        QCOMPARE(box.buttons().front()->text(), "Aceptar");
        QVERIFY(box.isModal());
        box.buttons().front()->click();
    });
    if (error) {
        dialogs.showError(text.toStdString());
    } else {
        dialogs.showMessage(text.toStdString());
    }
    QVERIFY(seen);
}

void DialogsTest::fileDialogOffersTheLastChoice() {
    QTemporaryDir drive;
    const QString ardel = drive.path() + "/drive_c/xtemp/ardel";
    QVERIFY(QDir().mkpath(ardel));
    qputenv("WINEPREFIX", drive.path().toUtf8());
    QtDialogs dialogs;
    const QString typed = ardel + "/nuevo";  // does not exist; the suffix is added

    whenOpen<QFileDialog>([&](QFileDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), "Archivo XML");
        QCOMPARE(dialog.nameFilters(), QStringList{"*.xml"});
        QCOMPARE(dialog.defaultSuffix(), "xml");
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(ardel).canonicalPath());
        dialog.selectFile(typed);
        static_cast<QDialog&>(dialog).accept();  // as the "Abrir" button does
    });
    const std::optional<std::string> chosen = dialogs.chooseDocument();
    QVERIFY(chosen.has_value());
    QCOMPARE(QString::fromStdString(*chosen), typed + ".xml");

    whenOpen<QFileDialog>([&](QFileDialog& dialog) {
        QCOMPARE(dialog.selectedFiles(), QStringList{typed + ".xml"});
        dialog.reject();
    });
    QVERIFY(!dialogs.chooseDocument().has_value());
    qunsetenv("WINEPREFIX");
}

void DialogsTest::waitCursor() {
    QtDialogs dialogs;
    dialogs.setWaitCursor(true);
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    dialogs.setWaitCursor(false);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
