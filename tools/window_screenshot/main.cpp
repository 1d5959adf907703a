#include "Controller.h"
#include "MainWindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

// Searches one image in the window program, answering its dialogs with the
// names given, and saves a picture of the window once the result shows:
//   ombrew-screenshot IMAGE MODEL FOUND PICTURE.png
// FOUND must exist already: the window's file dialog picks existing files.
int main(int argc, char** argv)
{
    // Qt's own dialogs, so that the timer below can find and answer them.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    QStringList names = app.arguments().mid(1);
    if (names.size() != 4) {
        std::fputs("usage: ombrew-screenshot IMAGE MODEL FOUND PICTURE.png\n", stderr);
        return 2;
    }
    const QString picture = names.takeLast();

    char command[] = "";
    MainWindow window;
    Controller controller(window, command);

    // Plays the user: acknowledges each box and answers each dialog with
    // the next name.
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->property("answered").toBool())
            return;
        modal->setProperty("answered", true);
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (names.isEmpty()) {
                // The search asks again until it gets a name; nothing can end it.
                std::fputs("ombrew-screenshot: more dialogs than names\n", stderr);
                std::exit(1);
            }
            dialog->selectFile(names.takeFirst());
            static_cast<QDialog*>(dialog)->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->accept();
        }
    });
    user.start(10);

    int code = 1;
    QTimer::singleShot(0, [&] {
        controller.serIn();
        user.stop();
        // Give the window time to grow to the image while the report shows.
        QTimer::singleShot(500, [&] {
            code = window.grab().save(picture) ? 0 : 1;
            window.close();
        });
    });
    app.exec();
    if (code != 0)
        std::fprintf(stderr, "ombrew-screenshot: can't save %s\n", qPrintable(picture));
    return code;
}
