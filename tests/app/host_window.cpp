// A stand-in for the timetabling program's window: a plain top-level window that prints its
// native handle in hexadecimal, as the host passes it on the command line.
#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QWidget host;
    host.setWindowTitle("Tabuleo (anfitrión de prueba)");
    host.resize(1000, 640);
    host.setStyleSheet("background: #5b6f82;");
    auto* caption = new QLabel("Tabuleo", &host);
    caption->setStyleSheet("color: white; font-size: 20px;");
    caption->move(12, 8);
    host.show();
    std::printf("%llX\n", static_cast<unsigned long long>(host.winId()));
    std::fflush(stdout);
    return QApplication::exec();
}
