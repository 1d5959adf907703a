#include "CsvOutput.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool CsvOutput::open(const QString& path, QString& why)
{
    target = path;
    if (path.isEmpty()) {
        file.open(stdout, QIODevice::WriteOnly);
    } else if (QFileInfo(path).isDir()) {
        why = QStringLiteral("it is a directory");
        return false;
    } else {
        file.setFileName(path + QStringLiteral(".part"));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    why = file.errorString();
    return file.isOpen();
}

bool CsvOutput::write(const QByteArray& rows)
{
    return file.write(rows) == rows.size() && file.flush();
}

bool CsvOutput::finish(bool written, QString& why)
{
    why = file.errorString();
    if (target.isEmpty())
        return written;
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        file.remove();
        return false;
    }
    // rename replaces FILE at once, never leaving it half written.
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(target).constData()) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        file.remove();
        return false;
    }
    return true;
}

QString CsvOutput::name() const
{
    return target.isEmpty() ? QStringLiteral("standard output") : target;
}
