#include "OptionWords.h"

QString readOptionWords(const QStringList& words, const QStringList& flags,
                        const TakeOption& takeOption, QStringList* others)
{
    QString error;
    for (int i = 0; i < words.size(); ++i) {
        QString word = words[i];
        if (!word.startsWith(QLatin1String("--"))) {
            if (!others)
                return QStringLiteral("unexpected argument %1").arg(word);
            others->append(word);
            continue;
        }
        QString value;
        const int equals = word.indexOf(QLatin1Char('='));
        if (equals >= 0) {
            value = word.mid(equals + 1);
            word.truncate(equals);
            if (flags.contains(word))
                return QStringLiteral("%1 takes no value").arg(word);
        } else if (!flags.contains(word)) {
            if (i + 1 == words.size())
                return QStringLiteral("%1 needs a value").arg(word);
            value = words[++i];
        }
        if (!takeOption(word, value, error))
            return error;
    }
    return QString();
}

bool readNumber(const QString& name, const QString& value, double least, double most,
                double& number, QString& error)
{
    // QString reads numbers in the C locale, whatever the user's.
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || !(v >= least && v <= most)) {
        // Ten digits print 1.01 and 1000000000 as they are written.
        error =
            QStringLiteral("%1 takes a number from %2 to %3, not %4")
                .arg(name, QString::number(least, 'g', 10), QString::number(most, 'g', 10), value);
        return false;
    }
    number = v;
    return true;
}

bool readWholeNumber(const QString& name, const QString& value, int least, int most, int& number,
                     QString& error)
{
    bool ok = false;
    const int whole = value.toInt(&ok);
    if (!ok || whole < least || whole > most) {
        error = QStringLiteral("%1 takes a whole number from %2 to %3, not %4")
                    .arg(name)
                    .arg(least)
                    .arg(most)
                    .arg(value);
        return false;
    }
    number = whole;
    return true;
}
