// The reference for the program's start-up: a bare Qt Widgets program that
// shows one window of the sign-in's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(422, 404);
    window.show();
    return app.exec();
}
