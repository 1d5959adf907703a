#include "Controller.h"
#include "MainWindow.h"

#include <QApplication>

#include <memory>

// The window shows itself; the controller connects its buttons. The program
// ends when the window closes, by the exit button or by its frame.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    char command[] = "";
    auto window = std::make_unique<MainWindow>();
    auto controller = std::make_unique<Controller>(*window, command);
    return app.exec();
}
