#include "app/application.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/qt_text.h"
#include "platform/help.h"

namespace toa::app {

namespace {

std::string& helpFileValue() {
    static std::string value;
    return value;
}

// The window was drawn in "MS Sans Serif" and its labels in Arial; where the system lacks them,
// faces of the same width keep every text inside its box.
void substituteMissingFonts() {
    QFont::insertSubstitutions("MS Sans Serif", {"Microsoft Sans Serif", "Liberation Sans", "Arial",
                                                 "Nimbus Sans", "DejaVu Sans"});
    QFont::insertSubstitutions("Arial", {"Liberation Sans", "Nimbus Sans", "DejaVu Sans"});
}

// The program speaks Spanish whatever the system's language: so do Qt's own dialog texts,
// where the translations are installed.
void speakSpanish() {
    static QTranslator translator;
    if (translator.load("qtbase_es", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&translator);
    }
}

}  // namespace

void setUpApplication() {
    setHelpFile(kHelpFile);
    QApplication::setApplicationName(qtText(kTitle));
    substituteMissingFonts();
    speakSpanish();
}

void setHelpFile(std::string_view windowsPath) {
    helpFileValue() = windowsPath;
}

const std::string& helpFile() {
    return helpFileValue();
}

}  // namespace toa::app
