#include "Console.h"

#include "AnswerReader.h"
#include "Controller.h"
#include "TerminalProgress.h"

#include <cstdio>
#include <cstdlib>

QTextStream in(stdin);
QTextStream out(stdout);

QString Console::message(QString msg)
{
    showMessage(msg, false, nullptr);
    const QString answer = readAnswer(in);
    // The command cannot get its names and does none of its work.
    if (answer.isEmpty()) {
        writeToStandardError(
            "Ombrec: standard input ended before the answer to the prompt above\n");
        std::exit(1);
    }
    return answer;
}

void Console::showMessage(QString msg, bool b, QImage* temp)
{
    Q_UNUSED(b);
    Q_UNUSED(temp);
    // The two failure reports of the engine decide the exit code.
    if (msg == QLatin1String("Error") || msg == QLatin1String("can't load model from file"))
        failed = true;
    // Standard output may be the terminal that shows progress on standard error.
    clearStandardErrorProgress();
    out << msg << Qt::endl;
}

void Console::mesBox(char* temp)
{
    // The evaluation shows its result through showMessage as well.
    Q_UNUSED(temp);
}

void Console::controlActions(Controller* t, char* temp)
{
    switch (temp[0]) {
    case 't':
        t->training();
        break;
    case 'd':
        t->serDir();
        break;
    case 'i':
        t->serIn();
        break;
    case 'c':
        t->PRcount();
        break;
    default:
        t->exit();
        break;
    }
}

void Console::exit()
{
    noCommand = true;
}

int Console::exitCode() const
{
    if (noCommand)
        return 2;
    return failed ? 1 : 0;
}
