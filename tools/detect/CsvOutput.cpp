#include "CsvOutput.h"

#include "OutputTarget.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool CsvOutput::open(const QString& path, QString& why)
{
    target = path;
    if (path.isEmpty()) {
        file.open(stdout, QIODevice::WriteOnly);
        why = file.errorString();
        return file.isOpen();
    }
    const OutputTarget out = outputTarget(path);
    why = out.refusal;
    if (!why.isEmpty())
        return false;
    if (out.direct)
        return openDirect(file, out.path, why);
    renameTo = out.path;
    file.setFileName(out.path + QStringLiteral(".part"));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
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
    if (renameTo.isEmpty())
        return written;
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        file.remove();
        return false;
    }
    // rename replaces FILE at once, never leaving it half written.
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(renameTo).constData()) != 0) {
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
