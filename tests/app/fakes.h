#pragma once
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "app/frames.h"
#include "platform/error.h"

// The window's dialogs replaced by a script of answers and a log of what the user would see.
class FakeDialogs : public toa::app::Dialogs {
  public:
    // Answers of the file dialog in turn: a path confirmed, or none for a cancel. When the
    // script runs out, the dialog is cancelled.
    std::deque<std::optional<std::string>> answers;
    // "diálogo", "espera", "normal", "mensaje: <text>", "error", and what the bodies add.
    QStringList log;
    std::string lastError;

    std::optional<std::string> chooseDocument() override {
        log << "diálogo";
        if (answers.empty()) return std::nullopt;
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showMessage(std::string_view text) override {
        log << "mensaje: " + QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    void showError(std::string_view message) override {
        log << "error";
        lastError = message;
    }
    void setWaitCursor(bool wait) override { log << (wait ? "espera" : "normal"); }
};

// Run bodies that only log, the export with its document's root element and the import with its
// document's file name; `fail` makes them fail as a table engine error would.
inline toa::app::RunBodies loggingBodies(FakeDialogs& dialogs, bool fail = false) {
    return {
        [&dialogs, fail](const toa::xml::Document& docXML) {
            dialogs.log << "exportar " + QString::fromStdString(docXML.documentElement().name());
            if (fail) throw toa::Error("No se puede escribir la tabla ASIGNOMT");
        },
        [&dialogs, fail](const std::string& archivoXML, toa::importar::TablasImportacion&,
                         std::optional<toa::xml::Document>&) {
            const std::string name = archivoXML.substr(archivoXML.find_last_of('/') + 1);
            dialogs.log << "importar " + QString::fromStdString(name);
            if (fail) throw toa::Error("No se puede abrir la tabla SOLUC");
        },
    };
}

// A folder with the documents the runs are offered: "centro.xml" is well formed, "roto.xml" is
// not, "carpeta.xml" is a folder and "falta.xml" does not exist.
class Documents {
  public:
    Documents() {
        write("centro.xml", "<?xml version=\"1.0\"?><CENTRO><SALIDAS/></CENTRO>");
        write("roto.xml", "<?xml version=\"1.0\"?><CENTRO><SALIDAS>");
        QDir(folder_.path()).mkdir("carpeta.xml");
    }
    // The full path of a document by name; the empty name stays empty.
    std::string path(const QString& name) const {
        return name.isEmpty() ? std::string() : (folder_.path() + "/" + name).toStdString();
    }
    QString folder() const { return folder_.path(); }

  private:
    void write(const QString& name, const QByteArray& content) {
        QFile file(folder_.path() + "/" + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QTemporaryDir folder_;
};
