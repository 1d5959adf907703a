#include "MainWindow.h"
#include "Controller.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace
{

// One application for every test. Qt's own dialogs, so that a timer can find
// and answer them.
class Application : public testing::Environment
{
public:
    void SetUp() override
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app.reset(); }

private:
    int argc = 1;
    char name[16] = "MainWindowTest";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};
testing::Environment* const application = testing::AddGlobalTestEnvironment(new Application);

// Plays the user while a command runs: acknowledges every box and answers
// each file or directory dialog with the next name of its script, an empty
// name cancelling. When the script has run out it answers with the fallback
// names, so that a command always ends. Writes down what it saw.
class Responder
{
public:
    QStringList seen;

    Responder(QStringList script, QString fallbackDir, QString fallbackFile)
        : script(std::move(script)), fallbackDir(std::move(fallbackDir)),
          fallbackFile(std::move(fallbackFile))
    {
        QObject::connect(&timer, &QTimer::timeout, [this] { answer(); });
        timer.start(5);
    }

private:
    QStringList script;
    QString fallbackDir;
    QString fallbackFile;
    QTimer timer;

    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->property("answered").toBool())
            return;
        modal->setProperty("answered", true);
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            seen << box->windowTitle() + ": " + box->text();
            box->accept();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            const bool directory = dialog->fileMode() == QFileDialog::Directory;
            if (directory && dialog->testOption(QFileDialog::ShowDirsOnly))
                seen << "directory dialog";
            else if (dialog->fileMode() == QFileDialog::ExistingFile)
                seen << "file dialog";
            else
                seen << "unexpected dialog";
            const QString name = !script.isEmpty() ? script.takeFirst()
                                 : directory       ? fallbackDir
                                                   : fallbackFile;
            if (name.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(name);
                // The dialog's own accept checks the name, as for a user.
                static_cast<QDialog*>(dialog)->accept();
            }
        } else {
            seen << "unexpected " + QString::fromLatin1(modal->metaObject()->className());
            modal->close();
        }
    }
};

const char* const kGoodbye = "Exit: Thank you for using my Program)) Goodbye!!";

class MainWindowTest : public testing::Test
{
protected:
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

    Responder respond(const QStringList& script = {}) { return {script, dir.path(), empty}; }

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
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(texts[i].toStdString());
        ASSERT_NE(button(i), nullptr);
        EXPECT_EQ(button(i)->text(), texts[i]);
        EXPECT_EQ(button(i)->shortcut(), mnemonics[i]);
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
    window->showMessage("Training Completed", false, nullptr);
    EXPECT_EQ(status(), "Training Completed");

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return status().isEmpty(); }, 5000));
    // Qt's coarse timers may fire up to 5 % early.
    EXPECT_GE(clock.elapsed(), 1900);
    QTest::qWait(100);
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

TEST_F(MainWindowTest, MessageShowsThePromptBoxThenTheDialogForTheKindOfName)
{
    {
        Responder responder = respond({empty});
        EXPECT_EQ(window->message("Input the Image", true), empty);
        EXPECT_EQ(responder.seen, (QStringList{"Message: Input the Image", "file dialog"}));
    }
    {
        Responder responder = respond({dir.path()});
        EXPECT_EQ(window->message("Input the directory", false), dir.path());
        EXPECT_EQ(responder.seen,
                  (QStringList{"Message: Input the directory", "directory dialog"}));
    }
}

TEST_F(MainWindowTest, CancellingTheDirectoryDialogReopensItWithoutTheBox)
{
    Responder responder = respond({"", "", dir.path()});
    click(Train);
    EXPECT_EQ(responder.seen.mid(0, 5),
              (QStringList{"Message: Input the directory with training Images", "directory dialog",
                           "directory dialog", "directory dialog",
                           "Message: Input the file with locations"}));
    EXPECT_EQ(controller->detector().curCat, dir.path());
}

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
    const int lefts[] = {20, 80, 140};
    QByteArray locations;
    for (int n = 0; n < 3; ++n) {
        ASSERT_TRUE(figureImage(lefts[n]).save(dir.filePath(QString::number(n) + ".png")));
        locations += QByteArray::number(n) + " 0 " + QByteArray::number(lefts[n]) + " 200 " +
                     QByteArray::number(lefts[n] + 80) + "\n";
    }
    const QString locationFile = write("locations.txt", locations);
    // The open-file dialog picks existing files only, outputs included.
    const QString modelFile = write("model.txt", "");
    const QString foundFile = write("found.txt", "");
    QStringList reports;
    QObject::connect(window->statusBar(), &QStatusBar::messageChanged, [&](const QString& text) {
        if (!text.isEmpty())
            reports << text;
    });

    {
        Responder responder = respond({dir.path(), locationFile, modelFile});
        click(Train);
        EXPECT_EQ(responder.seen.size(), 6);
    }
    EXPECT_EQ(reports, (QStringList{"Training on 0.png", "Training on 1.png", "Training on 2.png",
                                    "Training Completed"}));
    EXPECT_EQ(label()->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              figureImage(lefts[2]));

    {
        Responder responder = respond({dir.filePath("1.png"), modelFile, foundFile});
        click(SearchImage);
        EXPECT_EQ(responder.seen,
                  (QStringList{"Message: Input the Image", "file dialog",
                               "Message: Input the file with model", "file dialog",
                               "Message: Output the file with locations", "file dialog"}));
    }
    EXPECT_EQ(status(), "Searching in the Image Completed");
    const QImage shown = label()->pixmap().toImage();
    EXPECT_EQ(shown.size(), QSize(240, 200));
    EXPECT_TRUE(hasGreen(shown));
    QFile found(foundFile);
    ASSERT_TRUE(found.open(QIODevice::ReadOnly));
    EXPECT_TRUE(found.readAll().contains("0  0  80  200  160\n"));
}

TEST_F(MainWindowTest, EvaluationShowsItsResultInABoxThenInTheStatusBar)
{
    const QString foundFile = write("found.txt", "0 0 100 200 180\n0 0 300 200 380\n");
    const QString rightFile = write("right.txt", "0 0 100 200 180\n");
    Responder responder = respond({foundFile, rightFile});
    click(PrecisionRecall);
    EXPECT_EQ(responder.seen,
              (QStringList{"Message: Input the file with found locations", "file dialog",
                           "Message: Input the file with right locations", "file dialog",
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
