#pragma once

#include "View.h"

#include <QTextStream>

// The process's standard input and output as text streams.
extern QTextStream in;
extern QTextStream out;

// The console front end: a prompt line and one word read per name, one line
// per report. It runs the one command that the first letter of the command
// text names.
class Console final : public View
{
public:
    QString message(QString msg) override;
    void showMessage(QString msg, bool b, QImage* temp) override;
    void mesBox(char* temp) override;
    void controlActions(Controller* t, char* temp) override;
    void exit() override;

    // The process's exit code: 0 when the command completed, 1 when it
    // reported a failure, 2 when the letter named no command.
    int exitCode() const;

private:
    bool failed = false;
    bool noCommand = false;
};
