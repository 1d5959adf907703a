#include "ImageLoader.h"

#include <QImageReader>

#include <algorithm>

namespace
{

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
    QImageReader reader(path);
    why = overLimitReason(reader);
    if (!why.isEmpty())
        return false;
    if (!reader.read(&image)) {
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
