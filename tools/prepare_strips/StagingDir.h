#pragma once

#include <QString>
#include <QStringList>

// A hidden directory beside the output directory that a run writes into.
// Only commit() makes it the output directory, in one rename, so that a run
// that fails leaves nothing half written and never touches the user's files.
class StagingDir
{
public:
    StagingDir() = default;
    StagingDir(const StagingDir&) = delete;
    StagingDir& operator=(const StagingDir&) = delete;
    // Removes the staged directory unless it was committed or kept.
    ~StagingDir();

    // Prepares to write outDir, which must not exist or be an empty
    // directory; when it is a symbolic link, where the link ends. On failure
    // error says why and nothing was created.
    bool open(const QString& outDir, QString& error);

    // Where to write a file or directory called name.
    QString filePath(const QString& name) const;

    // Renames the staged directory to the output directory. When that fails
    // the staged directory is kept, and error says where it is.
    bool commit(QString& error);

private:
    QString outDir;
    QString staged;
};

// Removes the staging directories for outDir that runs killed before they
// could remove them: those beside it whose process id no process has any
// more. Returns the paths it removed.
QStringList removeAbandonedStaging(const QString& outDir);
