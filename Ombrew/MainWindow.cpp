#include "MainWindow.h"

#include "Controller.h"

#include <QAction>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
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
    // The buttons share their row equally.
    for (QPushButton* button : {button1, button2, button3, button6, button4})
        layout2->addWidget(button, 8);
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
    // Each dialog opens once: cancelling it gives the empty name that
    // abandons the command.
    if (!fil)
        return QFileDialog::getExistingDirectory(this, QString(), QString(),
                                                 QFileDialog::ShowDirsOnly);
    // A file the command writes may be new, and replacing one is confirmed.
    if (msg.startsWith(QLatin1String("Output")))
        return QFileDialog::getSaveFileName(this);
    return QFileDialog::getOpenFileName(this);
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
