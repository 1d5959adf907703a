#include "StagingDir.h"

#include "OutputTarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <limits>
#include <signal.h>

namespace
{

// Whether no process has the id: one that exists but is another user's
// still counts as alive.
bool processGone(qint64 pid)
{
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() &&
           kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

QStringList removeAbandonedStaging(const QString& outDir)
{
    const QFileInfo out(outDir);
    const QRegularExpression staged(QStringLiteral("^\\.%1\\.partial-([0-9]{1,10})-[0-9a-f]{8}$")
                                        .arg(QRegularExpression::escape(out.fileName())));
    const QDir parent(out.absolutePath());
    QStringList removed;
    // Never through a link: removing its contents would remove another
    // directory's files.
    for (const QString& name :
         parent.entryList(QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = staged.match(name);
        if (match.hasMatch() && processGone(match.captured(1).toLongLong()) &&
            QDir(parent.filePath(name)).removeRecursively())
            removed << parent.filePath(name);
    }
    return removed;
}

StagingDir::~StagingDir()
{
    if (!staged.isEmpty())
        QDir(staged).removeRecursively();
}

bool StagingDir::open(const QString& dir, QString& error)
{
    // A link to the output directory stays, leading to the new directory.
    const QFileInfo out(symLinkEnd(dir));
    if (out.exists() && !(out.isDir() && QDir(dir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                           QDir::Hidden | QDir::System))) {
        error = QStringLiteral("%1 exists and is not an empty directory; give a new one").arg(dir);
        return false;
    }
    QDir parent(out.absolutePath());
    if (!parent.mkpath(QStringLiteral("."))) {
        error = QStringLiteral("cannot create the directory %1").arg(parent.path());
        return false;
    }
    // Beside the output, so that the final rename stays on one file system;
    // made with mkdir, so that it gets the user's usual permissions.
    for (int attempt = 0; attempt < 100 && staged.isEmpty(); ++attempt) {
        const QString name =
            QStringLiteral(".%1.partial-%2-%3")
                .arg(out.fileName())
                .arg(QCoreApplication::applicationPid())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (parent.mkdir(name))
            staged = parent.filePath(name);
    }
    if (staged.isEmpty()) {
        error = QStringLiteral("cannot create a directory in %1").arg(parent.path());
        return false;
    }
    outDir = out.absoluteFilePath();
    return true;
}

QString StagingDir::filePath(const QString& name) const
{
    return QDir(staged).filePath(name);
}

bool StagingDir::commit(QString& error)
{
    const QString from = staged;
    if (QFileInfo(outDir).isDir() && !QDir().rmdir(outDir)) {
        error = QStringLiteral("%1 is no longer empty; the strips are in %2").arg(outDir, from);
        staged.clear();
        return false;
    }
    if (!QDir().rename(from, outDir)) {
        error = QStringLiteral("cannot rename %1 to %2; the strips are in %1").arg(from, outDir);
        staged.clear();
        return false;
    }
    staged.clear();
    return true;
}
