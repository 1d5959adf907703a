#pragma once

#include "Logic.h"

#include <QObject>
#include <QString>

class View;

// Runs the user's commands: each one sets its prompts, asks the view for the
// names it needs, runs the detector and reports through the view.
class Controller : public QObject
{
    Q_OBJECT
    Logic logic;
    QString msg1; // the image directory
    QString msg2; // the first input file
    QString msg3; // the model file (the right locations in the evaluation)
    QString msg4; // the output file

public:
    View* view;

    // Ends by handing itself and temp to vie.controlActions, so the console
    // program runs its whole command inside this constructor.
    Controller(View& vie, char* temp);
    ~Controller() override;

    // The common body of serIn (InImage true) and serDir.
    void search(bool InImage);

    // The detector state, for front ends and tests that look at it.
    const Logic& detector() const { return logic; }

public slots:
    void training();
    void serIn();
    void serDir();
    void exit();
    // Asks for the flagged names in the order directory, input file, model
    // file, output file. False when the user gave up a name (the window's
    // dialog was cancelled): the command then asks nothing more.
    bool files(bool, bool, bool, bool);
    void PRcount();

private:
    QString ask(const QString& prompt, bool fil);
    // Reports a command abandoned at a prompt; nothing was written.
    void cancelled();
};
