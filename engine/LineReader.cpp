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
    // One buffer for every line of the file: one byte more than a line may
    // hold, and one that readLine keeps for its terminating zero.
    if (buffer.isEmpty())
        buffer.resize(kMaxLineBytes + 2);
    const qint64 size = file.readLine(buffer.data(), buffer.size());
    if (size > kMaxLineBytes) {
        warn(QStringLiteral("error: %1:%2: the line is longer than %3 bytes; reading stopped")
                 .arg(fileName)
                 .arg(number + 1)
                 .arg(kMaxLineBytes));
        broken = true;
        return false;
    }
    if (size <= 0) {
        // Nothing read is the end of the file unless the device says why.
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
    line = QByteArray(buffer.constData(), size);
    ++number;
    return true;
}
