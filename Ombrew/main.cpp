#include "Controller.h"
#include "MainWindow.h"
#include "ProgramStart.h"

#include <QApplication>

#include <memory>

namespace
{

const char* const kHelp = R"(usage: Ombrew [Qt's options, e.g. -platform NAME]
       Ombrew --help | --version

Opens the window of the person detector. Its buttons train a model, search a
directory of images or one image, count recall and precision, and exit. Each
command shows its prompts in a message box and asks for each name in a file
or directory dialog, which opens where that kind of dialog last took a name;
reports show in the status bar, warnings and errors go to standard error.)";

} // namespace

// The window shows itself; the controller connects its buttons. The program
// ends when the window closes, by the exit button or by its frame.
int main(int argc, char** argv)
{
    quietQtNoise();
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, "Ombrew", QString::fromUtf8(kHelp)))
        return *answered;
    QApplication app(argc, argv);
    // Where the window keeps its settings: ~/.config/Ombre/Ombrew.conf on Linux.
    QCoreApplication::setOrganizationName(QStringLiteral("Ombre"));
    QCoreApplication::setApplicationName(QStringLiteral("Ombrew"));
    char command[] = "";
    auto window = std::make_unique<MainWindow>();
    auto controller = std::make_unique<Controller>(*window, command);
    return app.exec();
}
