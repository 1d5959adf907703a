#pragma once

class QImage;
class Random;
struct CameraSettings;

// What a cheap camera does to a scene: haze if the settings ask for it, an
// exposure and light that falls off across the frame, soft focus, and sensor
// noise in brightness and a little in colour.
// Requires: a 32-bit image without alpha (QImage::Format_RGB32).
void develop(QImage& image, Random& random, const CameraSettings& settings);
