#include "Console.h"
#include "Controller.h"
#include "ProgramStart.h"
#include "StandardOutput.h"
#include "TerminalProgress.h"

#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace
{

const char* const kUsage =
    "usage: Ombrec t|d|i|c  (train, search a directory, search an image, count recall and "
    "precision)\n"
    "       Ombrec --help | --version\n";

// The prompts are the Controller's; the help lists them as the commands ask.
const char* const kHelp = R"(
Runs one command, named by the first letter of the argument. The command
prints a prompt for each name it needs and reads one word from standard input
for each, in this order:

  t  train a model
       Input the directory with training Images
       Input the file with locations
       Output the file with model
  d  search every image that a names file lists
       Input the directory with testing Images
       Input the file with names of images
       Input the file with model
       Output the file with locations
  i  search one image
       Input the Image
       Input the file with model
       Output the file with locations
  c  count recall and precision
       Input the file with found locations
       Input the file with right locations

Reports go to standard output; why something failed, and warnings, to
standard error. While t or d runs, a terminal on standard error also shows
how many images are done, how fast, and the time left. Exit codes: 0 the
command completed, 1 it reported an error or standard input ended before
every name was given, 2 wrong command line.)";

} // namespace

int main(int argc, char** argv)
{
    quietQtNoise();
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, "Ombrec", QString::fromUtf8(kUsage) + kHelp))
        return *answered;
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // The command runs inside the Controller's constructor; the program ends
    // when it returns.
    char command[1] = {argv[1][0]};
    auto console = std::make_unique<Console>();
    auto controller = std::make_unique<Controller>(*console, command);
    const int code = console->exitCode();
    if (code == 2)
        std::fputs(kUsage, stderr);
    QString why;
    if (!standardOutputReached(out, why)) {
        writeToStandardError("Ombrec: can't write standard output: " + why.toLocal8Bit() + '\n');
        return 1;
    }
    return code;
}
