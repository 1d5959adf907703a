#pragma once

#include "View.h"

#include <QMainWindow>
#include <QString>

#include <memory>

class QAction;
class QHBoxLayout;
class QImage;
class QLabel;
class QPixmap;
class QPushButton;
class QVBoxLayout;

// The window program's View: five buttons that start the commands, modal
// boxes and file dialogs that ask for names, the status bar for reports and
// a label that shows the last image a command handed back.
// The widgets and actions belong to the window through Qt's parent links.
class MainWindow : public QMainWindow, public View
{
    Q_OBJECT

public:
    // Builds the widgets and shows the window with "Ready" in its status bar.
    MainWindow();
    ~MainWindow() override;

    // Shows msg in a box, then opens one dialog: a directory dialog when fil
    // is false, a save dialog for a prompt that begins with "Output" (a file
    // the command writes), an open dialog for any other file. Each kind of
    // dialog opens in the directory it last took a name from, which the
    // application's QSettings keep between runs. Returns the name chosen, or
    // an empty text when the user cancelled the dialog.
    QString message(QString msg, bool fil) override;
    // Shows msg in the status bar for two seconds; when b is true, also
    // shows temp at its own size (temp null leaves the image as it is).
    void showMessage(QString msg, bool b, QImage* temp) override;
    // Shows temp in a modal box.
    void mesBox(char* temp) override;
    // Creates the actions and connects each button's pressed() to t, so that
    // a command starts when the button goes down. temp is not used.
    void controlActions(Controller* t, char* temp) override;

public slots:
    // Says goodbye, then closes the window, which ends the event loop.
    void exit() override;

private:
    QLabel* labelIm;
    std::unique_ptr<QPixmap> image;
    QPushButton* button1;
    QPushButton* button2;
    QPushButton* button3;
    QPushButton* button4;
    QPushButton* button6;
    QAction* PRAct = nullptr;
    QAction* trainAct = nullptr;
    QAction* serImAct = nullptr;
    QAction* serDirAct = nullptr;
    QAction* exitAct = nullptr;
    QWidget* window;
    QVBoxLayout* mainLayout;
    QHBoxLayout* layout1;
    QHBoxLayout* layout2;

    QAction* makeAction(const QString& text, const QString& tip);
};
