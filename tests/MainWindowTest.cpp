#include "MainWindow.h"
#include "Controller.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Failures show names and prompts as text. GoogleTest finds this beside
// QString, in the global namespace.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace
{

// One application for every test. Qt's own dialogs, so that a timer can find
// and answer them. Settings in a directory of the tests, never the user's.
class Application : public testing::Environment
{
public:
    void SetUp() override
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QCoreApplication::setOrganizationName(QStringLiteral("OmbreTest"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }

private:
    int argc = 1;
    char name[16] = "MainWindowTest";
    char* argv[2] = {name, nullptr};
    QTemporaryDir settings;
    std::unique_ptr<QApplication> app;
};
testing::Environment* const application = testing::AddGlobalTestEnvironment(new Application);

// Plays the user while a command runs: acknowledges every box, confirms
// replacing a file, and answers each dialog with the next name of its script,
// an empty name or the end of the script cancelling. Writes down what it saw.
class Responder
{
public:
    QStringList seen;
    QStringList directories; // where each file dialog opened

    explicit Responder(QStringList script) : script(std::move(script))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start(5);
    }

private:
    QStringList script;
    int unscripted = 0;
    QTimer timer;

    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->property("answered").toBool())
            return;
        modal->setProperty("answered", true);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
                seen << "replace confirmed";
                yes->click();
            } else {
                seen << box->windowTitle() + ": " + box->text();
                box->accept();
            }
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (dialog->acceptMode() == QFileDialog::AcceptSave)
                seen << "save dialog";
            else if (dialog->fileMode() == QFileDialog::Directory &&
                     dialog->testOption(QFileDialog::ShowDirsOnly))
                seen << "directory dialog";
            else if (dialog->fileMode() == QFileDialog::ExistingFile)
                seen << "open dialog";
            else
                seen << "unexpected dialog";
            directories << dialog->directory().absolutePath();
            // A window that reopens its dialogs would never let a test end.
            if (script.isEmpty() && ++unscripted > 20)
                qFatal("dialogs keep opening after the script ran out");
            const QString name = script.isEmpty() ? QString() : script.takeFirst();
            // Typed into the name box, as by a user: selectFile leaves the box
            // alone while it has the focus, as a save dialog's has.
            auto* nameBox = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (name.isEmpty() || !nameBox) {
                dialog->reject();
            } else {
                nameBox->setText(name);
                // The dialog's own accept checks the name, as for a user. It
                // may ask whether to replace the file, and this timer does
                // not fire inside its own call: accept from the event loop.
                // A name it refuses leaves it open for the next answer.
                QTimer::singleShot(0, dialog, [dialog] {
                    static_cast<QDialog*>(dialog)->accept();
                    dialog->setProperty("answered", !dialog->isVisible());
                });
            }
        } else {
            seen << "unexpected " + QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    }
};

// A light strip 240 x 200 with a dark upright figure in the 80 x 200 box
// that starts at column left.
QImage figureImage(int left)
{
    QImage image(240, 200, QImage::Format_RGB32);
    image.fill(qRgb(205, 200, 190));
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 60));
    painter.drawEllipse(left + 28, 8, 24, 26);
    painter.drawRect(left + 22, 36, 36, 90);
    painter.drawRect(left + 24, 126, 12, 66);
    painter.drawRect(left + 44, 126, 12, 66);
    return image;
}

// Columns of the figures in the training strips 0.png, 1.png and 2.png.
const int kLefts[] = {20, 80, 140};

const char* const kGoodbye = "Exit: Thank you for using my Program)) Goodbye!!";

class MainWindowTest : public testing::Test
{
protected:
    // Dialogs open where no earlier test left them.
    bool settingsCleared = [] {
        QSettings().clear();
        return true;
    }();
    QTemporaryDir dir;
    QString empty = write("empty.txt", "");
    char command[1] = {'\0'};
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>();
    std::unique_ptr<Controller> controller = std::make_unique<Controller>(*window, command);

    QString write(const QString& name, const QByteArray& content)
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    Responder respond(const QStringList& script = {}) { return Responder(script); }

    // Writes the three training strips and returns their location file.
    QString writeTrainingSet()
    {
        QByteArray locations;
        for (int n = 0; n < 3; ++n) {
            EXPECT_TRUE(figureImage(kLefts[n]).save(dir.filePath(QString::number(n) + ".png")));
            locations += QByteArray::number(n) + " 0 " + QByteArray::number(kLefts[n]) + " 200 " +
                         QByteArray::number(kLefts[n] + 80) + "\n";
        }
        return write("locations.txt", locations);
    }

    QBoxLayout* row(int i) const
    {
        return qobject_cast<QBoxLayout*>(window->centralWidget()->layout()->itemAt(i)->layout());
    }
    QPushButton* button(int i) const
    {
        return qobject_cast<QPushButton*>(row(0)->itemAt(i)->widget());
    }
    QLabel* label() const { return qobject_cast<QLabel*>(row(1)->itemAt(0)->widget()); }
    QString status() const { return window->statusBar()->currentMessage(); }

    // Presses and releases the button; the command runs inside the press.
    void click(int i) { QTest::mouseClick(button(i), Qt::LeftButton); }
    // Clicks the button, answering with the script; returns what the user saw.
    QStringList run(int i, const QStringList& script)
    {
        Responder responder = respond(script);
        click(i);
        return responder.seen;
    }
};

// The buttons from left to right.
enum { Train, SearchDirectory, SearchImage, PrecisionRecall, Exit };

TEST_F(MainWindowTest, ShowsTheTitledWindowWithButtonsAboveTheImageAndNoMenus)
{
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Sorvane");
    EXPECT_EQ(window->menuWidget(), nullptr);
    EXPECT_TRUE(window->findChildren<QMenuBar*>().isEmpty());

    auto* mainLayout = qobject_cast<QVBoxLayout*>(window->centralWidget()->layout());
    ASSERT_NE(mainLayout, nullptr);
    ASSERT_EQ(mainLayout->count(), 2);
    EXPECT_EQ(mainLayout->stretch(0), 0);
    EXPECT_EQ(mainLayout->stretch(1), 0);

    ASSERT_NE(qobject_cast<QHBoxLayout*>(row(0)), nullptr);
    ASSERT_EQ(row(0)->count(), 5);
    const QStringList texts{"&Train", "&Searching in the directory", "&Searching in an image",
                            "&Precision and Recall", "&Exit"};
    const QList<QKeySequence> mnemonics{Qt::ALT | Qt::Key_T, Qt::ALT | Qt::Key_S,
                                        Qt::ALT | Qt::Key_S, Qt::ALT | Qt::Key_P,
                                        Qt::ALT | Qt::Key_E};
    // What a screen reader announces.
    const QStringList names{"Train", "Search a directory", "Search an image",
                            "Precision and recall", "Exit"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(texts[i].toStdString());
        ASSERT_NE(button(i), nullptr);
        EXPECT_EQ(button(i)->text(), texts[i]);
        EXPECT_EQ(button(i)->shortcut(), mnemonics[i]);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button(i));
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name), names[i]);
        EXPECT_GT(accessible->text(QAccessible::Description).size(), 20);
        EXPECT_EQ(row(0)->stretch(i), 8);
        EXPECT_EQ(row(0)->itemAt(i)->alignment(), Qt::Alignment());
    }

    ASSERT_NE(qobject_cast<QHBoxLayout*>(row(1)), nullptr);
    ASSERT_EQ(row(1)->count(), 1);
    ASSERT_NE(label(), nullptr);
    EXPECT_EQ(row(1)->stretch(0), 0);
    EXPECT_TRUE(label()->text().isEmpty());
    EXPECT_TRUE(label()->pixmap().isNull());
}

TEST_F(MainWindowTest, ControllerAddsFiveActionsInConnectionOrderPlacedNowhere)
{
    MainWindow unconnected;
    EXPECT_TRUE(unconnected.findChildren<QAction*>(Qt::FindDirectChildrenOnly).isEmpty());

    const QList<QAction*> actions = window->findChildren<QAction*>(Qt::FindDirectChildrenOnly);
    QStringList texts;
    for (QAction* action : actions) {
        texts << action->text() + " / " + action->statusTip();
        EXPECT_TRUE(action->associatedObjects().isEmpty()) << action->text().toStdString();
    }
    EXPECT_EQ(texts,
              (QStringList{"&Count Precision and Recall... / Count Precision and Recall",
                           "&train... / train", "&tra... / tra", "&tr... / tr", "&in... / in"}));
    EXPECT_TRUE(window->actions().isEmpty());
}

TEST_F(MainWindowTest, EachCommandStartsWhenItsButtonGoesDown)
{
    const std::pair<int, QString> firstPrompts[] = {
        {Train, "Message: Input the directory with training Images"},
        {SearchDirectory, "Message: Input the directory with testing Images"},
        {SearchImage, "Message: Input the Image"},
        {PrecisionRecall, "Message: Input the file with found locations"},
    };
    for (const auto& [i, prompt] : firstPrompts) {
        SCOPED_TRACE(prompt.toStdString());
        Responder responder = respond();
        QTest::mousePress(button(i), Qt::LeftButton);
        ASSERT_FALSE(responder.seen.isEmpty());
        EXPECT_EQ(responder.seen.first(), prompt);
        QTest::mouseRelease(button(i), Qt::LeftButton);
        EXPECT_EQ(responder.seen.count(kGoodbye), 0);
    }
}

TEST_F(MainWindowTest, AMnemonicStartsItsCommandToo)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Responder responder = respond();
    QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
    ASSERT_FALSE(responder.seen.isEmpty());
    EXPECT_EQ(responder.seen.first(), "Message: Input the file with found locations");
}

TEST_F(MainWindowTest, StatusBarSaysReadyThenShowsEachReportForTwoSeconds)
{
    EXPECT_EQ(status(), "Ready");
    const auto clearing = [&] { return window->statusBar()->findChild<QTimer*>(); };
    EXPECT_TRUE(!clearing() || !clearing()->isActive());

    window->showMessage("Training Completed", false, nullptr);
    EXPECT_EQ(status(), "Training Completed");
    // The status bar's own timer takes the report away; fire it now rather
    // than wait two seconds.
    QTimer* timer = clearing();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 2000);
    QTimerEvent fired(timer->timerId());
    QCoreApplication::sendEvent(timer, &fired);
    EXPECT_TRUE(status().isEmpty());
}

TEST_F(MainWindowTest, OnlyAReportWithTheFlagReplacesTheImageShownUnscaled)
{
    QImage first(120, 90, QImage::Format_RGB32);
    first.fill(Qt::red);
    QImage second(300, 220, QImage::Format_RGB32);
    second.fill(Qt::blue);

    window->showMessage("one", true, &first);
    EXPECT_EQ(label()->pixmap().toImage().convertToFormat(QImage::Format_RGB32), first);
    window->showMessage("two", false, &second);
    EXPECT_EQ(label()->pixmap().toImage().convertToFormat(QImage::Format_RGB32), first);
    window->showMessage("three", true, nullptr);
    EXPECT_EQ(label()->pixmap().size(), first.size());
    EXPECT_EQ(status(), "three");
    window->showMessage("four", true, &second);
    EXPECT_EQ(label()->pixmap().toImage().convertToFormat(QImage::Format_RGB32), second);

    // The window grows to show the whole image.
    EXPECT_FALSE(label()->hasScaledContents());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return label()->width() >= second.width() && label()->height() >= second.height(); },
        2000))
        << label()->width() << "x" << label()->height();
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(MainWindowTest, ProgressReportsArePaintedWithoutWaitingForTheEventLoop)
{
    QCoreApplication::processEvents();
    PaintCounter counter;
    window->statusBar()->installEventFilter(&counter);
    window->showMessage("Searching 12.png", false, nullptr);
    EXPECT_GT(counter.paints, 0);
}

TEST_F(MainWindowTest, MessageShowsThePromptBoxThenOneDialogForTheKindOfName)
{
    const QString newFile = dir.filePath("new.txt");
    const struct {
        QString prompt;
        bool fil;
        QString answer;
        QStringList dialogs;
    } cases[] = {
        {"Input the Image", true, empty, {"open dialog"}},
        {"Input the file with model", true, "", {"open dialog"}},
        {"Input the directory with training Images", false, dir.path(), {"directory dialog"}},
        {"Input the directory with testing Images", false, "", {"directory dialog"}},
        {"Output the file with model", true, newFile, {"save dialog"}},
        {"Output the file with locations", true, empty, {"save dialog", "replace confirmed"}},
        {"Output the file with locations", true, "", {"save dialog"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.prompt + " / " + c.answer).toStdString());
        Responder responder = respond({c.answer});
        // An empty answer is the cancelled dialog.
        EXPECT_EQ(window->message(c.prompt, c.fil), c.answer);
        EXPECT_EQ(responder.seen, QStringList{"Message: " + c.prompt} + c.dialogs);
    }
}

TEST_F(MainWindowTest, EachKindOfDialogOpensWhereItLastTookANameInALaterRunToo)
{
    for (const char* place : {"images", "read", "written"})
        ASSERT_TRUE(QDir(dir.path()).mkdir(place));
    const struct {
        QString prompt;
        bool fil;
        QString answer;
        QString place;
    } kinds[] = {
        {"Input the directory with training Images", false, dir.filePath("images"), "images"},
        {"Input the file with model", true, write("read/model.txt", ""), "read"},
        {"Output the file with locations", true, dir.filePath("written/found.txt"), "written"},
    };
    for (const auto& kind : kinds) {
        Responder responder = respond({kind.answer});
        EXPECT_EQ(window->message(kind.prompt, kind.fil), kind.answer);
    }
    {
        // A cancelled dialog moves nothing.
        Responder cancelling = respond();
        window->message("Input the Image", true);
    }

    MainWindow later;
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.prompt.toStdString());
        Responder responder = respond();
        later.message(kind.prompt, kind.fil);
        EXPECT_EQ(responder.directories, QStringList{dir.filePath(kind.place)});
    }
}

bool hasGreen(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == 0xFF00FF00)
                return true;
    return false;
}

TEST_F(MainWindowTest, TrainingThenSearchingThroughTheDialogsShowsTheFoundBoxes)
{
    const QString locationFile = writeTrainingSet();
    // The outputs are new names.
    const QString modelFile = dir.filePath("model.txt");
    const QString foundFile = dir.filePath("found.txt");
    QStringList reports;
    QObject::connect(window->statusBar(), &QStatusBar::messageChanged, [&](const QString& text) {
        if (!text.isEmpty())
            reports << text;
    });

    EXPECT_EQ(run(Train, {dir.path(), locationFile, modelFile}).last(), "save dialog");
    EXPECT_EQ(reports, (QStringList{"Training on 0.png", "Training on 1.png", "Training on 2.png",
                                    "Training Completed"}));
    EXPECT_EQ(label()->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              figureImage(kLefts[2]));

    EXPECT_EQ(run(SearchImage, {dir.filePath("1.png"), modelFile, foundFile}),
              (QStringList{"Message: Input the Image", "open dialog",
                           "Message: Input the file with model", "open dialog",
                           "Message: Output the file with locations", "save dialog"}));
    EXPECT_EQ(status(), "Searching in the Image Completed");
    const QImage shown = label()->pixmap().toImage();
    EXPECT_EQ(shown.size(), QSize(240, 200));
    EXPECT_TRUE(hasGreen(shown));
    QFile found(foundFile);
    ASSERT_TRUE(found.open(QIODevice::ReadOnly));
    EXPECT_TRUE(found.readAll().contains("0  0  80  200  160\n"));
}

TEST_F(MainWindowTest, CancellingAnyDialogAbandonsTheCommandAndWritesNothing)
{
    // Earlier commands named these outputs: an abandoned one must not reuse them.
    const QString locationFile = writeTrainingSet();
    const QString modelFile = dir.filePath("model.txt");
    const QString foundFile = dir.filePath("found.txt");
    run(Train, {dir.path(), locationFile, modelFile});
    run(SearchImage, {dir.filePath("1.png"), modelFile, foundFile});
    ASSERT_EQ(status(), "Searching in the Image Completed");
    write("model.txt", "kept");
    write("found.txt", "kept");
    const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);

    const struct {
        int button;
        QStringList script; // ends with the cancelled dialog
        QString cancelled;
    } cases[] = {
        {Train, {""}, "directory dialog"},
        {Train, {dir.path(), ""}, "open dialog"},
        {Train, {dir.path(), locationFile, ""}, "save dialog"},
        {SearchImage, {dir.filePath("1.png"), modelFile, ""}, "save dialog"},
        {PrecisionRecall, {foundFile, ""}, "open dialog"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script.join(" / ").toStdString());
        window->statusBar()->clearMessage();
        const QStringList seen = run(c.button, c.script);
        // Each prompt is a box and a dialog; nothing follows the cancel.
        EXPECT_EQ(seen.size(), 2 * c.script.size());
        EXPECT_EQ(seen.last(), c.cancelled);
        EXPECT_EQ(status(), "Cancelled");
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), files);
    for (const QString& name : {modelFile, foundFile}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), "kept") << name.toStdString();
    }
}

TEST_F(MainWindowTest, EvaluationShowsItsResultInABoxThenInTheStatusBar)
{
    const QString foundFile = write("found.txt", "0 0 100 200 180\n0 0 300 200 380\n");
    const QString rightFile = write("right.txt", "0 0 100 200 180\n");
    EXPECT_EQ(run(PrecisionRecall, {foundFile, rightFile}),
              (QStringList{"Message: Input the file with found locations", "open dialog",
                           "Message: Input the file with right locations", "open dialog",
                           "Message: Recall = 1.000000, Precision = 0.500000 "}));
    EXPECT_EQ(status(), "Recall = 1.000000, Precision = 0.500000 ");
}

// Runs the application's event loop until the window closes, giving up
// after a minute with the code 99.
int runEventLoop()
{
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    limit.start(60000);
    return QApplication::exec();
}

TEST_F(MainWindowTest, ExitSaysGoodbyeThenTheEventLoopReturnsZero)
{
    Responder responder = respond();
    QTimer::singleShot(0, [this] { click(Exit); });
    EXPECT_EQ(runEventLoop(), 0);
    EXPECT_EQ(responder.seen, QStringList{kGoodbye});
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ClosingByTheFrameEndsTheEventLoopWithoutGoodbye)
{
    Responder responder = respond();
    QTimer::singleShot(0, window.get(), &QWidget::close);
    EXPECT_EQ(runEventLoop(), 0);
    EXPECT_TRUE(responder.seen.isEmpty());
}

} // namespace
