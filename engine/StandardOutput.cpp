#include "StandardOutput.h"

#include <QIODevice>
#include <QString>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool standardOutputReached(QTextStream& out, QString& why)
{
    out.flush();
    errno = 0;
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (out.status() == QTextStream::Ok && flushed && !std::ferror(stdout))
        return true;
    // The C library forgets why once it has dropped what it could not write;
    // the stream's device remembers.
    if (out.status() != QTextStream::Ok && out.device())
        why = out.device()->errorString();
    else if (!flushed && error != 0)
        why = QString::fromLocal8Bit(std::strerror(error));
    else
        why = QStringLiteral("a write to it failed");
    return false;
}
