#include "Controller.h"
#include "MainWindow.h"
#include "OutputTarget.h"
#include "ProgramStart.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace
{

const char* const kUsage = "usage: ombrew-screenshot IMAGE MODEL FOUND PICTURE.png\n"
                           "       ombrew-screenshot --help | --version\n";

const char* const kHelp = R"(
Searches IMAGE with MODEL in the window program, answering its dialogs with
the names given, and saves a picture of the window, with the result shown, to
PICTURE.png. FOUND receives the found boxes.)";

} // namespace

// Plays a user of the window program to take the README's picture of it.
int main(int argc, char** argv)
{
    quietQtNoise();
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, "ombrew-screenshot", QString::fromUtf8(kUsage) + kHelp))
        return *answered;
    // Qt's own dialogs, so that the timer below can find and answer them.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    // The screenshot answers the window's dialogs: the folders they remember
    // go to a scratch place, not to the user's settings.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    QStringList names = app.arguments().mid(1);
    if (names.size() != 4) {
        std::fputs(kUsage, stderr);
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
                std::fputs("ombrew-screenshot: more dialogs than names\n", stderr);
                std::exit(1);
            }
            // selectFile leaves the name box alone while it has the focus,
            // as if the user were typing there.
            if (QWidget* focus = dialog->focusWidget())
                focus->clearFocus();
            dialog->selectFile(names.takeFirst());
            // Later, not inside this timer: a save dialog's accepting asks
            // about replacing the file in a box of its own, which this timer
            // must then answer.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            // Yes to replacing FOUND when a save dialog asks; OK to the prompts.
            if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                yes->click();
            else
                box->accept();
        }
    });
    user.start(10);

    int code = 1;
    QString why = QStringLiteral("the window closed before the picture was taken");
    QTimer::singleShot(0, [&] {
        controller.serIn();
        user.stop();
        // Give the window time to grow to the image while the report shows.
        QTimer::singleShot(500, [&] {
            const QPixmap shot = window.grab();
            const auto save = [&](QIODevice& file) { return shot.save(&file, "PNG"); };
            code = writeOutput(picture, save, why) ? 0 : 1;
            window.close();
        });
    });
    app.exec();
    if (code != 0)
        std::fprintf(stderr, "ombrew-screenshot: can't save %s: %s\n", qPrintable(picture),
                     qPrintable(why));
    return code;
}
