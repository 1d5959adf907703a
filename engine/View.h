#pragma once

#include <QString>

class Controller;
class QImage;

// The user interface as the engine sees it. The window program answers with
// dialogs and the status bar, the console program with prompts and lines.
// A View is never deleted through this class, so its destructor is not virtual.
class View
{
public:
    View() = default;

#ifdef OMBRE_WINDOW
    // Shows the prompt and returns the name the user gave; fil is true when a
    // file is wanted, false for a directory. An empty text means the user
    // cancelled, and the command is abandoned.
    virtual QString message(QString msg, bool fil) = 0;
#else
    // Shows the prompt and returns the word the user gave. Never returns an
    // empty text.
    virtual QString message(QString msg) = 0;
#endif
    // Reports one line; when b is true the view also shows temp.
    virtual void showMessage(QString msg, bool b, QImage* temp) = 0;
    // Shows a text the user acknowledges; must not keep the pointer.
    virtual void mesBox(char* temp) = 0;
    // Called once by the Controller's constructor with itself and the command
    // text; may run a whole command before it returns.
    virtual void controlActions(Controller* t, char* temp) = 0;
    virtual void exit() = 0;

protected:
    ~View() = default;
};
