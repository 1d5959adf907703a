#include "ImageSearch.h"

#include "BandDescriptor.h"
#include "Decision.h"
#include "ImageLoader.h"
#include "LocationFile.h"
#include "Painter.h"
#include "Warning.h"
#include "Window.h"

#include <QDir>
#include <QFile>

#include <new>

QString imagePath(const QString& dir, int number)
{
    return dir + QDir::separator() + QString::number(number) + QStringLiteral(".png");
}

QByteArray searchImage(QImage& image, const model& classifier, int number)
{
    BandDescriptor band(image, 0, kWindowHeight);
    int hist[kHistSize];
    QByteArray lines;
    for (int X = 0; X < image.width() - kWindowWidth; X += 5) {
        std::fill_n(hist, kHistSize, 0);
        band.addWindow(X, X + kWindowWidth, hist);
        if (!acceptsWindow(classifier, hist))
            continue;
        lines += locationLine(Box{number, 0, X, kWindowHeight, X + kWindowWidth});
        for (const QRect& r : paintBox(image, 0, X, kWindowHeight, X + kWindowWidth)) {
            if (!r.isEmpty())
                band.pixelsChanged(r.top(), r.left(), r.bottom() + 1, r.right() + 1);
        }
    }
    return lines;
}

SearchedImage searchImageFile(const QString& path, const model& classifier, int number)
{
    SearchedImage found;
    QString why;
    if (!loadImage(path, found.image, why)) {
        warn(QStringLiteral("error: can't load image %1: %2").arg(path, why));
        return found;
    }
    found.ok = true;
    // The window spans rows 0 to 199: a lower image has no window at all.
    if (found.image.height() < kWindowHeight) {
        warn(QStringLiteral("warning: %1 is %2 rows high, fewer than the window's 200: not "
                            "searched")
                 .arg(path)
                 .arg(found.image.height()));
        return found;
    }
    try {
        found.lines = searchImage(found.image, classifier, number);
    } catch (const std::bad_alloc&) {
        // The image loaded within the image library's limit, but the bins
        // of its rows did not fit.
        warn(QStringLiteral("error: not enough memory to search %1").arg(path));
        found = SearchedImage();
    }
    return found;
}

bool writeLines(QFile& output, const QByteArray& lines)
{
    if (lines.isEmpty())
        return true;
    if (output.write(lines) == lines.size() && output.flush())
        return true;
    warn(QStringLiteral("error: can't write to %1: %2")
             .arg(output.fileName(), output.errorString()));
    return false;
}
