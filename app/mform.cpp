#include "app/mform.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <exception>
#include <utility>

#include "app/application.h"
#include "app/glyphs.h"
#include "app/gradient_panel.h"
#include "platform/help.h"

namespace toa::app {

namespace {

constexpr int kClientWidth = 632;
constexpr int kClientHeight = 266;

template <typename Control>
Control* placed(Control* control, const char* name, QRect geometry) {
    control->setObjectName(name);
    control->setGeometry(geometry);
    return control;
}

// The two direction titles: Arial, 16 pixels, bold, wrapped.
QLabel* directionLabel(const char* text, QWidget* panel, const char* name, QRect geometry) {
    auto* label = placed(new QLabel(text, panel), name, geometry);
    QFont font("Arial");
    font.setPixelSize(16);
    font.setBold(true);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setStyleSheet("color: #1d3557;");
    return label;
}

QPushButton* glyphButton(const QIcon& glyph, const char* text, QWidget* panel, const char* name,
                         QRect geometry) {
    auto* button = placed(new QPushButton(glyph, text, panel), name, geometry);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TMForm::TMForm(CommandLine commandLine, Surroundings surroundings)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      commandLine_(std::move(commandLine)),
      surroundings_(std::move(surroundings)) {
    buildFace();
    FormCreate();
}

void TMForm::buildFace() {
    setObjectName("MForm");
    setWindowTitle("Exportar e importar datos entre Tabuleo y Ardel ");
    setFixedSize(kClientWidth, kClientHeight);
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    setFont(font);

    // The two directions side by side in a cool blue, the strip below in a quieter grey-blue.
    const QColor halfTop(0xf3, 0xf7, 0xfc);
    const QColor halfBottom(0xbf, 0xd4, 0xea);
    const QColor stripTop(0xe4, 0xea, 0xf1);
    const QColor stripBottom(0xb4, 0xc3, 0xd4);

    auto* Draw3D2 =
        placed(new GradientPanel(this, halfTop, halfBottom), "Draw3D2", {1, 0, 315, 169});
    directionLabel("Transformar datos desde Ardel hacia Tabuleo ", Draw3D2, "Label3",
                   {24, 24, 265, 57});
    auto* BExportar =
        glyphButton(checkMarkGlyph(), "Aceptar", Draw3D2, "BExportar", {96, 120, 89, 25});

    auto* Draw3D3 =
        placed(new GradientPanel(this, halfTop, halfBottom), "Draw3D3", {316, 0, 317, 169});
    directionLabel("Transformar datos desde Tabuleo hacia Ardel", Draw3D3, "Label4",
                   {8, 24, 305, 57});
    auto* BImportar =
        glyphButton(checkMarkGlyph(), "Aceptar", Draw3D3, "BImportar", {96, 120, 89, 25});

    auto* Draw3D1 =
        placed(new GradientPanel(this, stripTop, stripBottom), "Draw3D1", {0, 168, 633, 97});
    auto* BClose = glyphButton(doorGlyph(), "&Salir", Draw3D1, "BClose", {256, 32, 89, 25});
    auto* Button1 = glyphButton(QIcon(), "F1 Ayuda", Draw3D1, "Button1", {168, 64, 75, 25});
    auto* Label1 =
        placed(new QLabel("TransTabuleoArdel V-1.6", Draw3D1), "Label1", {8, 72, 155, 13});
    QFont version = Label1->font();
    version.setBold(true);
    Label1->setFont(version);
    Label1->setStyleSheet("color: #d00000;");

    connect(BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
    connect(BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
    connect(BClose, &QPushButton::clicked, this, &QWidget::close);
    connect(Button1, &QPushButton::clicked, this, &TMForm::Button1Click);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &TMForm::helpTopic);
}

void TMForm::FormCreate() {
    state_.ResultadoTransformacion = 0;
    if (!commandLine_.namesHost()) return;
    try {
        const std::uint32_t handle = commandLine_.hostHandle();
        surroundings_.embed(*this, handle);
        state_.ModoHost = static_cast<std::int32_t>(commandLine_.count());
    } catch (const std::exception& failure) {
        // The window stays a normal framed one; the named run still starts when it is shown.
        surroundings_.dialogs.showError(failure.what());
    }
}

void TMForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (hostWindow(*this) == nullptr) {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        move(screen.center() - rect().center());
    }
    // Right after the show, so that the run's dialogs and the window's own closing happen
    // inside the event loop.
    QMetaObject::invokeMethod(this, &TMForm::FormShow, Qt::QueuedConnection);
}

void TMForm::FormShow() {
    // Both tests are made, import first; one word cannot match both.
    if (commandLine_.action() == Action::importar) BImportarClick();
    if (commandLine_.action() == Action::exportar) BExportarClick();
}

void TMForm::BExportarClick() {
    afterRun(exportFrame(state_, surroundings_.dialogs, surroundings_.bodies));
}

void TMForm::BImportarClick() {
    afterRun(importFrame(state_, surroundings_.dialogs, surroundings_.bodies));
}

void TMForm::afterRun(FrameEnd end) {
    if (closesWindow(state_, end)) close();
}

void TMForm::Button1Click() {
    setHelpFile(kHelpFile);
    try {
        showHelpContents(helpFile());
    } catch (const std::exception& failure) {
        surroundings_.dialogs.showError(failure.what());
    }
}

void TMForm::helpTopic() {
    try {
        showHelpContext(helpFile(), kHelpContext);
    } catch (const std::exception& failure) {
        surroundings_.dialogs.showError(failure.what());
    }
}

void TMForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    emit closed();
}

void TMForm::FormClose() {
    writeResultFile(state_, surroundings_.resultFile, surroundings_.dialogs);
}

}  // namespace toa::app
