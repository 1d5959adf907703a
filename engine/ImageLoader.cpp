#include "ImageLoader.h"

#include "HeldMessages.h"

#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>

namespace
{

constexpr char kDamaged[] = "the file is damaged, its image data cut short or corrupt";

// Why the image that reader is about to read needs more memory than the
// image library may allocate, or an empty text. Measured from the header,
// before anything is allocated, at 4 bytes a pixel (the 32-bit RGB it is
// held in) or more for a wider format. The library refuses such an image
// too, but then says only that it could not read the data.
QString overLimitReason(const QImageReader& reader)
{
    const int limitMb = QImageReader::allocationLimit();
    const QSize size = reader.size();
    if (limitMb <= 0 || size.isEmpty()) // no limit, or a format that does not tell its size
        return QString();
    const int fileBits = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel();
    const qint64 bytesPerPixel = std::max(4, (fileBits + 7) / 8);
    const qint64 limit = static_cast<qint64>(limitMb) << 20;
    const qint64 rowBytes = size.width() * bytesPerPixel;
    if (rowBytes <= limit && size.height() <= limit / rowBytes)
        return QString();
    return QStringLiteral("the image is %1x%2 pixels, more than the image library may allocate "
                          "(%3 MB at %4 bytes a pixel)")
        .arg(size.width())
        .arg(size.height())
        .arg(limitMb)
        .arg(bytesPerPixel);
}

// Whether file is a PNG that ends before its IEND chunk does, found from
// the chunks' lengths without reading their data. The image library fails
// on such a file too, but libpng then prints its own "Read Error" on
// standard error, out of reach of Qt's messages. Reads from file's start,
// and leaves it there.
bool pngCutShort(QFile& file)
{
    constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (file.isSequential() || file.peek(8) != QByteArray(kSignature, 8))
        return false;
    const qint64 size = file.size();
    qint64 chunk = 8;
    bool cutShort = true;
    while (chunk + 8 <= size && file.seek(chunk)) {
        const QByteArray head = file.read(8);
        if (head.size() != 8)
            break;
        // Length, type, data and CRC.
        chunk += 12 + qFromBigEndian<quint32>(head.constData());
        if (head.endsWith("IEND")) {
            cutShort = chunk > size;
            break;
        }
    }
    file.seek(0);
    return cutShort;
}

// The image codecs can leave the upper halves of the 256-bit vector
// registers in use; until they are cleared, every 128-bit vector
// instruction of the descriptor runs several times slower.
void clearWideRegisters()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (__builtin_cpu_supports("avx"))
        asm volatile("vzeroupper" ::: "memory");
#endif
}

} // namespace

bool loadImage(const QString& path, QImage& image, QString& why)
{
    image = QImage();
    // Opened here, so that a file that cannot be read says why ("Permission
    // denied"), not just that the image library did not find it.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return false;
    }
    if (pngCutShort(file)) {
        why = QLatin1String(kDamaged);
        return false;
    }
    HeldMessages held;
    QImageReader reader(&file);
    why = overLimitReason(reader);
    if (!why.isEmpty())
        return false;
    const bool read = reader.read(&image);
    // A JPEG cut short reads, its missing part grey, and only the library's
    // warning tells.
    if (held.warned() || (!read && reader.error() == QImageReader::InvalidDataError)) {
        why = QLatin1String(kDamaged);
        image = QImage();
        return false;
    }
    if (!read) {
        why = reader.errorString();
        image = QImage();
        return false;
    }
    const QImage::Format wanted =
        image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (image.format() != wanted)
        image.convertTo(wanted);
    if (image.isNull()) {
        why = QStringLiteral("not enough memory to convert the image");
        return false;
    }
    clearWideRegisters();
    return true;
}

QSize imageHeaderSize(const QString& path)
{
    HeldMessages held;
    return QImageReader(path).size();
}
