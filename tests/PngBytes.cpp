#include "PngBytes.h"

#include <QtEndian>

namespace
{

quint32 crc32(const QByteArray& bytes)
{
    quint32 c = 0xffffffffu;
    for (char b : bytes) {
        c ^= static_cast<quint8>(b);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
    }
    return ~c;
}

QByteArray bigEndian(quint32 v)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(v, bytes.data());
    return bytes;
}

QByteArray chunk(const QByteArray& type, const QByteArray& data)
{
    return bigEndian(static_cast<quint32>(data.size())) + type + data +
           bigEndian(crc32(type + data));
}

} // namespace

QByteArray pngClaimingSize(quint32 width, quint32 height)
{
    // Bit depth 8, colour type 2 (RGB), default compression, filter and no interlace.
    const QByteArray header =
        bigEndian(width) + bigEndian(height) + QByteArray("\x08\x02\0\0\0", 5);
    const QByteArray data = qCompress(QByteArray(64, '\0')).mid(4); // a bare zlib stream
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", data) +
           chunk("IEND", QByteArray());
}
