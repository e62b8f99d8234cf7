#include "app/qt_dialogs.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QWindow>
#include <exception>

#include "app/host_embedding.h"
#include "app/qt_text.h"
#include "platform/paths.h"

namespace toa::app {

std::string errorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && text.back() != '.') text += '.';
    return text;
}

QtDialogs::QtDialogs() {
    OpenDialogXML.setWindowTitle("Archivo XML");
    OpenDialogXML.setNameFilter("*.xml");
    OpenDialogXML.setDefaultSuffix("xml");
    OpenDialogXML.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name that does not exist may be confirmed; the run then says so.
    OpenDialogXML.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog: it can be brought in front of a foreign host window, and typed into.
    OpenDialogXML.setOption(QFileDialog::DontUseNativeDialog);
    try {
        OpenDialogXML.setDirectory(
            QString::fromStdU16String(mapWindowsPath("c:\\xtemp\\ardel").u16string()));
    } catch (const std::exception&) {
        // Without a home folder there is no drive C:; the dialog opens where the program runs.
    }
}

QWidget* QtDialogs::owner() const {
    return form_ != nullptr && hostWindow(*form_) == nullptr ? form_.data() : nullptr;
}

namespace {

// Wide enough for the caption "TransOrbetaArdel" beside the window manager's buttons; a box as
// narrow as "No existe archivo" would cut it.
void keepCaptionReadable(QMessageBox& box) {
    constexpr int kMinimumWidth = 260;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    grid->addItem(new QSpacerItem(kMinimumWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

int QtDialogs::present(QDialog& dialog) {
    if (form_ != nullptr) {
        if (QWindow* host = hostWindow(*form_)) {
            dialog.winId();
            dialog.windowHandle()->setTransientParent(host);
        }
    }
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.raise();
        dialog.activateWindow();
    });
    return dialog.exec();
}

std::optional<std::string> QtDialogs::chooseDocument() {
    if (!lastChosen_.isEmpty()) OpenDialogXML.selectFile(lastChosen_);
    if (present(OpenDialogXML) != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = OpenDialogXML.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    lastChosen_ = chosen.front();
    return utf8Text(lastChosen_);
}

void QtDialogs::showMessage(std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), qtText(text),
                    QMessageBox::NoButton, owner());
    box.addButton("Aceptar", QMessageBox::AcceptRole);
    keepCaptionReadable(box);
    present(box);
}

void QtDialogs::showError(std::string_view message) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                    qtText(errorBoxText(message)), QMessageBox::Ok, owner());
    box.button(QMessageBox::Ok)->setText("Aceptar");
    keepCaptionReadable(box);
    present(box);
}

void QtDialogs::setWaitCursor(bool wait) {
    if (wait) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace toa::app
