#pragma once

// The knobs of the demo data, in one place so that the data can be tuned
// against the detector without reading the drawing code.

// Sizes of the strips.
struct StripSettings {
    int minHeight = 200;
    int maxHeight = 240;
    int minWidth = 240;
    int maxWidth = 640;
};

// The figures: overall span and height in pixels, where they stand, and how
// they vary. The search window is 80 x 200 at the top edge, so a figure must
// fit in it with its head near row 0 and its feet near row 199.
struct FigureSettings {
    int minWidth = 70;
    int maxWidth = 80;
    int minHeight = 180;
    int maxHeight = 198;
    int maxHeadTop = 10;
    int highestSole = 185;
    int lowestSole = 199;
    // Figures narrower than the box stand up to this many columns off its
    // centre, as they would in a box drawn by hand.
    double maxShift = 2;
    double walkingShare = 0.6;
    // How far each ankle stands from the centre line, as a share of half
    // the span: wide when walking, narrow when standing.
    double minStride = 0.5;
    double maxStride = 0.85;
    double minStance = 0.16;
    double maxStance = 0.32;
    // Broad or slim shoulders and hips.
    double minBuild = 0.9;
    double maxBuild = 1.08;
    // How much the lit side is brighter than the dark side.
    double maxShading = 0.35;
};

// The clutter behind and between the figures.
struct ClutterSettings {
    // Objects per 100 columns of strip.
    double density = 1.8;
    // The share of strips that show sky and trees rather than a wall.
    double outdoorShare = 0.35;
};

// What a cheap camera adds: uneven light, soft focus and sensor noise.
struct CameraSettings {
    double maxFalloff = 0.25;
    // Overall gain: below 1 a dark scene, above 1 a bright one that burns
    // out its highlights.
    double minExposure = 0.9;
    double maxExposure = 1.08;
    // Haze: 1 keeps the scene's contrast, lower values draw every level
    // that much of the way towards one grey. At 1 nothing is drawn for it.
    double minContrast = 1;
    // Weight of the 3 x 3 blur mixed into the sharp image, 0 to 1.
    double minBlur = 0.4;
    double maxBlur = 0.9;
    // Deviation of the noise, in 8-bit levels.
    double lumaNoise = 2.5;
    double chromaNoise = 1.0;
};

// Which strips of the test set hold figures.
struct TestSetSettings {
    double emptyShare = 0.2;
    // Of the strips with figures and room for two, the share that hold two.
    double pairShare = 0.4;
    // Least distance between the centres of two figures.
    int minGap = 120;
};

// The hard photographs: people of every size at every depth, in groups,
// cut off by the photograph's edges or standing behind things, among upright
// things of their size, in poor light.
struct HardPhotoSettings {
    // The farthest people stand at the foot of the background's wall; they
    // are at most this tall, the nearer ones taller.
    int maxFarHeight = 240;
    // Scenes whose farthest people are lower than this are streets.
    int leastIndoorHeight = 140;
    // Of the people, the share put at a side edge to be cut off there, the
    // share put just beside one already placed, and the share that stand
    // behind a car, a wall, a table, a fence or a hedge.
    double edgeShare = 0.2;
    double groupShare = 0.5;
    double screenedShare = 0.25;
    // The least share of a screened person that shows above the screen, from
    // the head down.
    double minShown = 0.5;
    // The most of a person's full extent that the edges may cut off, and the
    // most of their box that nearer people and things may hide together.
    double maxCut = 0.35;
    double maxHidden = 0.45;
    // Person-like things per photograph: posts, signs, bins, coat stands...
    int minLookalikes = 2;
    int maxLookalikes = 6;
    CameraSettings camera = [] {
        CameraSettings poor;
        poor.maxFalloff = 0.45;
        poor.minExposure = 0.3;
        poor.maxExposure = 1.5;
        poor.minContrast = 0.5;
        poor.lumaNoise = 3.5;
        poor.chromaNoise = 1.5;
        return poor;
    }();
};

struct DemoSettings {
    StripSettings strip;
    FigureSettings figure;
    ClutterSettings clutter;
    CameraSettings camera;
    TestSetSettings testSet;
};
