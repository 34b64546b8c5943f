#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pellium");
    QMainWindow window;
    window.setWindowTitle("Pellium");
    window.show();
    return app.exec();
}
