#include "Console.h"
#include "Controller.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace
{

void printUsage()
{
    std::fputs("usage: Ombrec t|d|i|c  (train, search a directory, search an image, count "
               "recall and precision)\n",
               stderr);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        printUsage();
        return 2;
    }
    // The command runs inside the Controller's constructor; the program ends
    // when it returns.
    char command[1] = {argv[1][0]};
    auto console = std::make_unique<Console>();
    auto controller = std::make_unique<Controller>(*console, command);
    const int code = console->exitCode();
    if (code == 2)
        printUsage();
    return code;
}
