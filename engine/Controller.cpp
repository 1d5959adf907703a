#include "Controller.h"

#include "TerminalProgress.h"
#include "View.h"

#include <clocale>
#include <memory>

namespace
{

// The window program shows the searched or trained-on image with its
// completion report; the console has nothing to show it on.
#ifdef OMBRE_WINDOW
constexpr bool kShowsImages = true;
#else
constexpr bool kShowsImages = false;
#endif

} // namespace

Controller::Controller(View& vie, char* temp) : QObject(nullptr), view(&vie)
{
    // The application object has made the C library follow the user's
    // locale; LIBLINEAR reads and writes its numbers through it.
    std::setlocale(LC_NUMERIC, "C");
#ifdef OMBRE_WINDOW
    logic.onImage = [this](const QString& text) { view->showMessage(text, false, nullptr); };
    vie.controlActions(this, temp);
#else
    // The console's whole command runs inside controlActions; a terminal on
    // standard error shows how far its training or directory search has got.
    const std::unique_ptr<TerminalProgress> progress = TerminalProgress::onStandardError();
    if (progress) {
        logic.onProgress = [line = progress.get()](int done, int total) {
            line->update(done, total);
        };
        logic.onSearchProgress = [line = progress.get()](int done) {
            line->update(done, std::nullopt);
        };
    }
    vie.controlActions(this, temp);
    logic.onProgress = nullptr;
    logic.onSearchProgress = nullptr;
#endif
}

Controller::~Controller() = default;

QString Controller::ask(const QString& prompt, bool fil)
{
#ifdef OMBRE_WINDOW
    return view->message(prompt, fil);
#else
    Q_UNUSED(fil);
    return view->message(prompt);
#endif
}

bool Controller::files(bool a, bool b, bool c, bool d)
{
    const struct {
        bool wanted;
        const QString& prompt;
        bool fil;
        QString& answer;
    } names[] = {
        {a, msg1, false, logic.curCat},
        {b, msg2, true, logic.curInFile},
        {c, msg3, true, logic.curModelFile},
        {d, msg4, true, logic.curOutFile},
    };
    for (const auto& name : names) {
        if (!name.wanted)
            continue;
        const QString answer = ask(name.prompt, name.fil);
        if (answer.isEmpty())
            return false;
        name.answer = answer;
    }
    return true;
}

void Controller::cancelled()
{
    view->showMessage(QStringLiteral("Cancelled"), false, nullptr);
}

void Controller::exit()
{
    view->exit();
}

void Controller::training()
{
    msg1 = QStringLiteral("Input the directory with training Images");
    msg2 = QStringLiteral("Input the file with locations");
    msg3 = QStringLiteral("Output the file with model");
    if (!files(true, true, true, false))
        return cancelled();
    if (!logic.getFilesTr()) {
        view->showMessage(QStringLiteral("Error"), false, nullptr);
        return;
    }
    const bool show = kShowsImages && logic.curImage;
    view->showMessage(QStringLiteral("Training Completed"), show,
                      show ? logic.curImage.get() : nullptr);
}

void Controller::serIn()
{
    search(true);
}

void Controller::serDir()
{
    search(false);
}

void Controller::search(bool InImage)
{
    if (InImage) {
        msg2 = QStringLiteral("Input the Image");
        msg3 = QStringLiteral("Input the file with model");
        msg4 = QStringLiteral("Output the file with locations");
        if (!files(false, true, true, true))
            return cancelled();
    } else {
        msg1 = QStringLiteral("Input the directory with testing Images");
        msg2 = QStringLiteral("Input the file with names of images");
        msg3 = QStringLiteral("Input the file with model");
        msg4 = QStringLiteral("Output the file with locations");
        if (!files(true, true, true, true))
            return cancelled();
    }

    // The output is emptied only once the model has loaded.
    if (!logic.loadModel()) {
        view->showMessage(QStringLiteral("can't load model from file"), false, nullptr);
        return;
    }
    const bool ok = InImage ? logic.getFilesSImg() : logic.getFilesSDir();
    if (!ok) {
        view->showMessage(QStringLiteral("Error"), false, nullptr);
    } else {
        // After an empty names file no image may have been loaded yet.
        const bool show = kShowsImages && logic.curImage;
        view->showMessage(InImage ? QStringLiteral("Searching in the Image Completed")
                                  : QStringLiteral("Searching in the directory Completed"),
                          show, show ? logic.curImage.get() : nullptr);
    }
    logic.myModel.reset();
}

void Controller::PRcount()
{
    msg2 = QStringLiteral("Input the file with found locations");
    msg3 = QStringLiteral("Input the file with right locations");
    if (!files(false, true, true, false))
        return cancelled();
    std::unique_ptr<char[]> temp(logic.PRcount());
#ifdef OMBRE_WINDOW
    view->mesBox(temp.get());
    view->showMessage(QString::fromLatin1(temp.get()), false, nullptr);
#else
    view->showMessage(QString::fromLatin1(temp.get()), false, nullptr);
    view->showMessage(QStringLiteral("Counting Recall and Precision Completed"), false, nullptr);
#endif
}
