#pragma once

#include "View.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

class Controller;

// A view that answers prompts from a list and records everything the
// controller asks of it.
class FakeView : public View
{
public:
    struct Report {
        QString text;
        bool withImage;
        QImage image;
    };

    QStringList answers;          // given in order, one per prompt
    QStringList prompts;          // the prompts asked
    std::vector<bool> fileWanted; // per prompt: a file (true) or a directory
    std::vector<Report> reports;
    QStringList boxes;                    // texts passed to mesBox
    std::vector<Controller*> controllers; // one entry per controlActions call
    std::vector<char*> commandTexts;
    int exits = 0;

#ifdef OMBRE_WINDOW
    QString message(QString msg, bool fil) override
    {
        fileWanted.push_back(fil);
        return answer(msg);
    }
#else
    QString message(QString msg) override
    {
        return answer(msg);
    }
#endif
    void showMessage(QString msg, bool b, QImage* temp) override
    {
        reports.push_back({msg, b, b && temp ? *temp : QImage()});
    }
    void mesBox(char* temp) override
    {
        boxes << QString::fromLatin1(temp);
    }
    void controlActions(Controller* t, char* temp) override
    {
        controllers.push_back(t);
        commandTexts.push_back(temp);
    }
    void exit() override
    {
        ++exits;
    }

    QStringList reportTexts() const
    {
        QStringList texts;
        for (const Report& r : reports)
            texts << r.text;
        return texts;
    }

private:
    QString answer(const QString& msg)
    {
        prompts << msg;
        return answers.isEmpty() ? QStringLiteral("unanswered") : answers.takeFirst();
    }
};
