#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Where the rows go: standard output; a descriptor such as /dev/stdout,
// written straight into; or FILE.part beside FILE (where its links end),
// which becomes FILE once every photograph is through. Each photograph's
// rows are flushed as it is done, so a run that is killed leaves complete
// rows of complete photographs in FILE.part and FILE as it was.
class CsvOutput
{
public:
    // Opens where the rows of path FILE go, or standard output for an empty
    // path; false with why when it cannot.
    bool open(const QString& path, QString& why);

    // Writes and flushes; false when not all of it was written.
    bool write(const QByteArray& rows);

    // Renames FILE.part to FILE when everything was written, and removes it
    // when not; false with why for a failed write or rename.
    bool finish(bool written, QString& why);

    // "FILE", or "standard output".
    QString name() const;

private:
    QString target;
    QString renameTo; // empty when the rows go straight where they belong
    QFile file;
};
