#include "MainWindow.h"

#include "Controller.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QVBoxLayout>

namespace
{

void showBox(const QString& title, const QString& text)
{
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    box.exec();
}

} // namespace

MainWindow::MainWindow()
    : QMainWindow(nullptr, Qt::WindowFlags()), labelIm(new QLabel),
      image(std::make_unique<QPixmap>()), button1(new QPushButton(QStringLiteral("&Train"))),
      button2(new QPushButton(QStringLiteral("&Searching in the directory"))),
      button3(new QPushButton(QStringLiteral("&Searching in an image"))),
      button4(new QPushButton(QStringLiteral("&Exit"))),
      button6(new QPushButton(QStringLiteral("&Precision and Recall"))), window(new QWidget),
      mainLayout(new QVBoxLayout), layout1(new QHBoxLayout), layout2(new QHBoxLayout)
{
    // A screen reader announces the name and the description; the two search
    // buttons' texts differ only at the end.
    const struct {
        QPushButton* button;
        QString name;
        QString description;
    } buttons[] = {
        {button1, tr("Train"),
         tr("Learns a model from a directory of images and a file of person boxes")},
        {button2, tr("Search a directory"),
         tr("Finds people in every image that a file of image numbers names")},
        {button3, tr("Search an image"), tr("Finds people in one image")},
        {button6, tr("Precision and recall"),
         tr("Compares a file of found boxes with a file of right boxes")},
        {button4, tr("Exit"), tr("Says goodbye and closes the program")},
    };
    // The buttons share their row equally.
    for (const auto& b : buttons) {
        b.button->setAccessibleName(b.name);
        b.button->setAccessibleDescription(b.description);
        layout2->addWidget(b.button, 8);
    }
    layout1->addWidget(labelIm, 0);
    mainLayout->addLayout(layout2, 0);
    mainLayout->addLayout(layout1, 0);
    // From here on the window owns every widget and layout.
    window->setLayout(mainLayout);
    setCentralWidget(window);

    statusBar()->showMessage(tr("Ready"));
    setWindowTitle(QStringLiteral("Sorvane"));
    show();
}

MainWindow::~MainWindow() = default;

QString MainWindow::message(QString msg, bool fil)
{
    showBox(QStringLiteral("Message"), msg);
    // Images, the files read and the files written tend to live in three
    // places of their own: each kind of dialog opens where it was last used,
    // in this run or an earlier one.
    const bool output = fil && msg.startsWith(QLatin1String("Output"));
    const QString key = !fil     ? QStringLiteral("dialogs/directory")
                        : output ? QStringLiteral("dialogs/save")
                                 : QStringLiteral("dialogs/open");
    QSettings settings;
    const QString start = settings.value(key).toString();
    // Each dialog opens once: cancelling it gives the empty name that
    // abandons the command.
    QString name;
    if (!fil)
        name = QFileDialog::getExistingDirectory(this, QString(), start, QFileDialog::ShowDirsOnly);
    // A file the command writes may be new, and replacing one is confirmed.
    else if (output)
        name = QFileDialog::getSaveFileName(this, QString(), start);
    else
        name = QFileDialog::getOpenFileName(this, QString(), start);
    if (!name.isEmpty())
        settings.setValue(key, fil ? QFileInfo(name).absolutePath() : name);
    return name;
}

void MainWindow::showMessage(QString msg, bool b, QImage* temp)
{
    statusBar()->showMessage(msg, 2000);
    if (b && temp) {
        *image = QPixmap::fromImage(*temp);
        labelIm->setPixmap(*image);
    }
    // A command processes no events until it ends, so its progress reports
    // reach the screen only when painted here and now.
    statusBar()->repaint();
}

void MainWindow::mesBox(char* temp)
{
    showBox(QStringLiteral("Message"), QString::fromLatin1(temp));
}

QAction* MainWindow::makeAction(const QString& text, const QString& tip)
{
    auto* action = new QAction(text, this);
    action->setStatusTip(tip);
    return action;
}

void MainWindow::controlActions(Controller* t, char* temp)
{
    Q_UNUSED(temp);
    PRAct = makeAction(tr("&Count Precision and Recall..."), tr("Count Precision and Recall"));
    connect(button6, &QPushButton::pressed, t, &Controller::PRcount);
    trainAct = makeAction(tr("&train..."), tr("train"));
    connect(button1, &QPushButton::pressed, t, &Controller::training);
    serDirAct = makeAction(tr("&tra..."), tr("tra"));
    connect(button2, &QPushButton::pressed, t, &Controller::serDir);
    serImAct = makeAction(tr("&tr..."), tr("tr"));
    connect(button3, &QPushButton::pressed, t, &Controller::serIn);
    exitAct = makeAction(tr("&in..."), tr("in"));
    connect(button4, &QPushButton::pressed, t, &Controller::exit);
}

void MainWindow::exit()
{
    showBox(QStringLiteral("Exit"), QStringLiteral("Thank you for using my Program)) Goodbye!!"));
    close();
}
