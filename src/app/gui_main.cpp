#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Yubino"));
    window.setCentralWidget(new QLabel(QStringLiteral("Yubino"), &window));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
