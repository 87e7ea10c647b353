// Quillet's entry point: names the application and runs the main window.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Quillet");
    QMainWindow window;
    window.setWindowTitle("Quillet");
    window.resize(463, 434);
    window.show();
    return app.exec();
}
