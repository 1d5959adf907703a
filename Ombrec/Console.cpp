#include "Console.h"

#include "Controller.h"

#include <cstdio>
#include <cstdlib>

QTextStream in(stdin);
QTextStream out(stdout);

QString Console::message(QString msg)
{
    QString result;
    while (result.isEmpty()) {
        showMessage(msg, false, nullptr);
        in >> result;
        // Extraction skips white space, so nothing read means no more input:
        // the command cannot get its names and does none of its work.
        if (result.isEmpty() && in.atEnd()) {
            std::fputs("Ombrec: standard input ended before the answer to the prompt above\n",
                       stderr);
            std::exit(1);
        }
    }
    return result;
}

void Console::showMessage(QString msg, bool b, QImage* temp)
{
    Q_UNUSED(b);
    Q_UNUSED(temp);
    // The two failure reports of the engine decide the exit code.
    if (msg == QLatin1String("Error") || msg == QLatin1String("can't load model from file"))
        failed = true;
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
