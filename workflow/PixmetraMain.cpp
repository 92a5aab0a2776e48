// Program entry: the application object's start-up and main loop.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Pixmetra"));
    window.resize(800, 600);
    window.show();
    return app.exec();
}
