#pragma once
#include <QDialog>
#include <QFileDialog>
#include <QPointer>
#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "app/frames.h"

// The file dialog, the boxes and the cursor of the real window.
namespace toa::app {

// A failure's message as the error box shows it: with a full stop where it has none.
std::string errorBoxText(std::string_view message);

class QtDialogs : public Dialogs {
  public:
    QtDialogs();

    // The window the boxes belong to, once it exists: centred over it by hand, in front of the
    // host window when it is embedded.
    void attach(QWidget* form) { form_ = form; }

    std::optional<std::string> chooseDocument() override;
    void showMessage(std::string_view text) override;
    void showError(std::string_view message) override;
    void setWaitCursor(bool wait) override;

  private:
    QWidget* owner() const;
    // Modal, in front and with the keyboard; returns once dismissed.
    int present(QDialog& dialog);

    QPointer<QWidget> form_;
    QFileDialog OpenDialogXML;
    QString lastChosen_;
};

}  // namespace toa::app
