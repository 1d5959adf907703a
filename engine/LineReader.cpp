#include "LineReader.h"

#include "Warning.h"

#include <QFileDevice>

namespace
{

constexpr qint64 kMaxLineBytes = 1 << 20;

} // namespace

LineReader::LineReader(QIODevice& file, const QString& name) : file(file), fileName(name) {}

bool LineReader::next(QByteArray& line)
{
    if (broken)
        return false;
    // At most one byte more than a line may hold: readLine keeps one for its
    // terminating zero.
    line = file.readLine(kMaxLineBytes + 2);
    if (line.size() > kMaxLineBytes) {
        warn(QStringLiteral("error: %1:%2: the line is longer than %3 bytes; reading stopped")
                 .arg(fileName)
                 .arg(number + 1)
                 .arg(kMaxLineBytes));
        broken = true;
        return false;
    }
    if (line.isEmpty()) {
        // An empty read is the end of the file unless the device says why.
        const auto* device = qobject_cast<const QFileDevice*>(&file);
        if (device && device->error() != QFileDevice::NoError) {
            warn(QStringLiteral("error: can't read %1 after line %2: %3")
                     .arg(fileName)
                     .arg(number)
                     .arg(device->errorString()));
            broken = true;
        }
        return false;
    }
    ++number;
    return true;
}
