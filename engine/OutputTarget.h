#pragma once

#include <QIODevice>
#include <QString>

#include <functional>

class QFile;

// Where an output that the user named is written. A new file, or a regular
// file, is replaced whole by a rename at the end of any symbolic links, so
// that the links stay. A descriptor of the process (/dev/stdout, /dev/fd/N)
// and /dev/null are written straight into: that is what naming them means.
// Anything else that exists (a directory, a device, a named pipe, a socket)
// is refused, since a rename would put a file in its place.
struct OutputTarget {
    QString path;        // the file to write: the end of any links, absolute
    bool direct = false; // written straight into, not replaced by a rename
    QString refusal;     // why nothing may be written there; empty when it may
};

OutputTarget outputTarget(const QString& path);

// Where the symbolic links from path end, absolute; path itself when it is
// no link. A descriptor of the process ends the way, since its link names
// no file.
QString symLinkEnd(const QString& path);

// Opens the direct target path for writing at its end, as a shell's >>
// does, so that a descriptor open on a file keeps what is there; false with
// why when it cannot.
bool openDirect(QFile& file, const QString& path, QString& why);

// Writes the output path with write, which returns false when it failed:
// into a new file beside the target, renamed onto it once all was written,
// or straight into a direct target. When anything failed the target is left
// as it was (a direct one holds what was written) and why says what failed.
bool writeOutput(const QString& path, const std::function<bool(QIODevice&)>& write, QString& why);
