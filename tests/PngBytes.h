#pragma once

#include <QByteArray>

// A PNG file made byte by byte: a valid header that claims width x height
// 8-bit RGB pixels, followed by image data far too short for them.
QByteArray pngClaimingSize(quint32 width, quint32 height);
