#pragma once
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "app/command_line.h"
#include "app/frames.h"
#include "app/host_embedding.h"
#include "app/result_file.h"

class QCloseEvent;
class QShowEvent;

namespace toa::app {

// What the window works with besides its own controls; the tests give their own.
struct Surroundings {
    Dialogs& dialogs;
    RunBodies bodies = RunBodies::real();
    std::function<bool(QWidget& form, std::uint32_t handle)> embed = embedInHost;
    std::filesystem::path resultFile = resultFilePath();
};

// The program's one window: two directions, each with its run, and help.
class TMForm : public QWidget {
    Q_OBJECT

  public:
    // Builds the controls, then FormCreate.
    TMForm(CommandLine commandLine, Surroundings surroundings);

    const WindowState& state() const { return state_; }

  signals:
    // The window has closed: the program ends, also when the window lives inside a host window
    // (which would otherwise keep the event loop alive).
    void closed();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildFace();
    void FormCreate();
    void FormShow();
    void FormClose();
    void BExportarClick();
    void BImportarClick();
    void Button1Click();
    // F1 in the window: the topic with the window's help context.
    void helpTopic();
    void afterRun(FrameEnd end);

    CommandLine commandLine_;
    Surroundings surroundings_;
    WindowState state_;
    bool shown_ = false;
};

}  // namespace toa::app
