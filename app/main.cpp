#include <QApplication>
#include <QStringList>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/mform.h"
#include "app/qt_dialogs.h"
#include "app/qt_text.h"

namespace {

// The parameters after the program's name; Qt has already taken out the options that are its own.
toa::app::CommandLine commandLine() {
    std::vector<std::string> parameters;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        parameters.push_back(toa::app::utf8Text(arguments[i]));
    }
    return toa::app::CommandLine(std::move(parameters));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    toa::app::setUpApplication();

    toa::app::QtDialogs dialogs;
    toa::app::TMForm MForm(commandLine(), {dialogs});
    dialogs.attach(&MForm);
    // Closing the window ends the program, embedded in a host window or not.
    QObject::connect(&MForm, &toa::app::TMForm::closed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    MForm.show();
    return QApplication::exec();
}
