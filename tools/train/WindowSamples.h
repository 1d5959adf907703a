#pragma once

#include "Annotation.h"
#include "Detector.h"
#include "HogLevel.h"
#include "PhotoScan.h"
#include "WindowPlaces.h"

#include <QImage>

#include <cstdint>
#include <vector>

// The windows a photograph gives before any mining: its people, each with
// its mirror image and jittered copies, and background windows at random.
struct PhotoSamples {
    std::vector<std::vector<float>> positives;
    std::vector<std::vector<float>> negatives;
};

// A person's window and the features the search would see there: the
// photograph scaled so that the person fills the detector's person box,
// extended by its repeated edge pixels as far as the window needs, with
// the 8 pixels around the window that its gradients and cells see.
class WindowDescriber
{
public:
    explicit WindowDescriber(const Detector& detector);

    // The features of the window whose top-left pixel is (x, y) of the
    // photograph scaled to level (pixels of that level, possibly past its
    // edges), mirrored left to right when mirror is set.
    std::vector<float> describe(const QImage& photo, QSize level, int x, int y, bool mirror);

private:
    Detector detector;
    HogLevel work;
};

// The hog windows of one photograph (see samplePlaces), described with
// describer. Requires photo Format_RGB32 or Format_ARGB32.
PhotoSamples samplePhoto(const QImage& photo, const std::vector<PersonBox>& people,
                         const Detector& detector, const ScanSettings& scan,
                         const SampleSettings& settings, std::uint32_t seed,
                         WindowDescriber& describer);
