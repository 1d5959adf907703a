#include "TrainJob.h"

#include "BoxOutsidePhoto.h"
#include "BoxesInPhoto.h"
#include "CountsWindows.h"
#include "DetectorFile.h"
#include "FalseAlarms.h"
#include "ImageLoader.h"
#include "ModelText.h"
#include "OrderedWork.h"
#include "Suppression.h"
#include "SvmTraining.h"
#include "ThreadCount.h"
#include "Threshold.h"
#include "WindowSamples.h"

#include <QElapsedTimer>

#include <linear.h>

#include <new>
#include <optional>

namespace
{

// What one photograph gave in a stage.
struct PhotoWork {
    PhotoSamples samples;
    MinedAlarms alarms;
    std::vector<ScoredBox> found; // as ombre-detect writes them, in whole pixels
    QString error;
};

// The detector of header with the weights of m, as its file gives them.
bool detectorOf(const Detector& header, const model& m, Detector& detector, QString& error)
{
    return readDetectorText(detectorText(header, m), detector, error);
}

// The boxes ombre-detect writes for photo: suppressed and rounded.
std::vector<ScoredBox> boxesFound(HogScanner& scanner, const QImage& photo)
{
    const std::vector<HogFound> scanned = scanner.scan(photo);
    const std::vector<ScoredBox> kept =
        suppressOverlaps(boxesInside({scanned.begin(), scanned.end()}, photo.size()),
                         kDefaultMaxOverlap, BoxScoring::Window);
    const std::vector<Box> rounded = roundedBoxes(kept, photo.size());
    std::vector<ScoredBox> found;
    for (size_t k = 0; k < kept.size(); ++k) {
        const Box& b = rounded[k];
        found.push_back(
            {{double(b.Xmin), double(b.Ymin), double(b.Xmax), double(b.Ymax)}, kept[k].score});
    }
    return found;
}

// Loads the photograph and checks its boxes against it.
bool loadPhoto(const TrainingPhoto& photo, QImage& image, QString& error)
{
    QString why;
    if (!loadImage(photo.path, image, why)) {
        error = QStringLiteral("%1: can't read the photograph %2: %3")
                    .arg(photo.where, photo.path, why);
        return false;
    }
    for (const PersonBox& b : photo.people) {
        if (boxOutside(b, image.size()) == BoxOutside::Whole) {
            error = boxLeavesPhotoError(b, photo.path, image.size());
            return false;
        }
    }
    return true;
}

// "3.2 s" since timer started.
QString seconds(const QElapsedTimer& timer)
{
    return QString::number(timer.elapsed() / 1000.0, 'f', 1) + QStringLiteral(" s");
}

// Runs work on every photograph, in order, and hands each result to take on
// the calling thread; false with error at the first that failed.
template <class MakeWork, class Take>
bool forEachPhoto(const std::vector<TrainingPhoto>& photos, int threads, const QString& stage,
                  const TrainSinks& sinks, MakeWork makeWork, Take take, QString& error)
{
    const int total = static_cast<int>(photos.size());
    return doInOrder<PhotoWork>(total, threads, makeWork, [&](int index, PhotoWork&& done) {
        if (!done.error.isEmpty()) {
            error = done.error;
            return false;
        }
        take(done);
        sinks.progress(stage, index + 1, total);
        return true;
    });
}

} // namespace

bool trainOnPhotos(const TrainOptions& options, const std::vector<TrainingPhoto>& photos,
                   const TrainSinks& sinks, QByteArray& file, QString& error)
{
    const int threads = options.threads > 0 ? options.threads : threadCount();
    const bool counts = options.descriptor == TrainDescriptor::Counts;
    Detector detector;
    detector.person = defaultPersonBox(detector.hog);
    ScanSettings scan;
    scan.minHeight = options.minHeight;
    scan.scaleStep = options.scaleStep;
    scan.border = options.border;
    scan.levelBorder = options.levelBorder;
    scan.threshold = options.hardThreshold;
    const SampleSettings sampling{options.minHeight, options.jitter, options.randomNegatives};

    try {
        QElapsedTimer timer;
        timer.start();
        TrainingSet set;
        // Each photograph's random windows come from its own place in the
        // list, whichever thread takes it.
        const auto sample = [&] {
            return [&, describer = std::optional<WindowDescriber>()](int index) mutable {
                PhotoWork work;
                const TrainingPhoto& photo = photos[static_cast<size_t>(index)];
                const auto seed = static_cast<std::uint32_t>(index) + 1;
                QImage image;
                if (!loadPhoto(photo, image, work.error))
                    return work;
                if (counts) {
                    work.samples = sampleCountsPhoto(image, photo.people, scan, sampling, seed);
                } else {
                    if (!describer)
                        describer.emplace(detector);
                    work.samples = samplePhoto(image, photo.people, detector, scan, sampling, seed,
                                               *describer);
                }
                return work;
            };
        };
        const auto keepSamples = [&](PhotoWork& done) {
            for (auto& row : done.samples.positives)
                set.positives.push_back(std::move(row));
            for (auto& row : done.samples.negatives)
                set.negatives.push_back(std::move(row));
        };
        if (!forEachPhoto(photos, threads, QStringLiteral("collecting"), sinks, sample, keepSamples,
                          error))
            return false;
        if (set.positives.empty()) {
            error = QStringLiteral("no person at least %1 pixels high to train on")
                        .arg(options.minHeight);
            return false;
        }
        if (set.negatives.empty()) {
            error = QStringLiteral("no background window to train on: give photographs "
                                   "without people with --empty");
            return false;
        }
        const int features = hogFeatureCount(detector.hog);
        const auto trainSet = [&] {
            return counts ? trainCountsSvm(set, options.C) : trainSvm(set, features, options.C);
        };
        OwnedModel trained = trainSet();
        sinks.round(QStringLiteral("round 0: %1 positives, %2 negatives; %3")
                        .arg(set.positives.size())
                        .arg(set.negatives.size())
                        .arg(seconds(timer)));

        for (int round = 1; round <= options.rounds; ++round) {
            timer.restart();
            long long found = 0;
            long long kept = 0;
            const auto keepAlarms = [&](PhotoWork& done) {
                found += done.alarms.found;
                kept += static_cast<long long>(done.alarms.features.size());
                for (auto& row : done.alarms.features)
                    set.negatives.push_back(std::move(row));
            };
            const QString stage = QStringLiteral("round %1").arg(round);
            // One scanner a thread, each photograph mined with mineOne.
            const auto mineWith = [&](auto makeScanner, auto mineOne) {
                const auto mine = [&] {
                    return [&, scanner = makeScanner()](int index) mutable {
                        PhotoWork work;
                        const TrainingPhoto& photo = photos[static_cast<size_t>(index)];
                        QImage image;
                        if (loadPhoto(photo, image, work.error))
                            work.alarms = mineOne(scanner, image, photo.people);
                        return work;
                    };
                };
                return forEachPhoto(photos, threads, stage, sinks, mine, keepAlarms, error);
            };
            if (counts) {
                // What ombre-detect reads from the model file: %.17g gives
                // each weight back exactly.
                const std::vector<double> weights = objectWeights(*trained);
                if (!mineWith([&] { return PhotoScanner(weights, scan); },
                              [&](PhotoScanner& scanner, const QImage& image,
                                  const std::vector<PersonBox>& people) {
                                  return mineCountsAlarms(scanner, scan, image, people,
                                                          options.hardPerPhoto);
                              }))
                    return false;
            } else {
                Detector last;
                if (!detectorOf(detector, *trained, last, error))
                    return false;
                if (!mineWith([&] { return HogScanner(last, scan); },
                              [&](HogScanner& scanner, const QImage& image,
                                  const std::vector<PersonBox>& people) {
                                  return mineFalseAlarms(scanner, image, people,
                                                         options.hardPerPhoto);
                              }))
                    return false;
            }
            const QString alarms =
                QStringLiteral("%1 false alarms found, %2 kept").arg(found).arg(kept);
            if (kept == 0) {
                sinks.round(QStringLiteral("round %1: %2; training ends; %3")
                                .arg(round)
                                .arg(alarms, seconds(timer)));
                break;
            }
            trained = trainSet();
            sinks.round(QStringLiteral("round %1: %2 positives, %3 negatives; %4; %5")
                            .arg(round)
                            .arg(set.positives.size())
                            .arg(set.negatives.size())
                            .arg(alarms, seconds(timer)));
        }

        // A plain model has no place for a threshold.
        if (counts) {
            file = modelText(*trained);
            return true;
        }
        // The threshold a user would keep, from the boxes the detector finds
        // in its own photographs.
        timer.restart();
        Detector last;
        if (!detectorOf(detector, *trained, last, error))
            return false;
        const auto search = [&] {
            return [&, scanner = HogScanner(last, scan)](int index) mutable {
                PhotoWork work;
                QImage image;
                if (loadPhoto(photos[static_cast<size_t>(index)], image, work.error))
                    work.found = boxesFound(scanner, image);
                return work;
            };
        };
        std::vector<std::vector<ScoredBox>> found;
        std::vector<std::vector<PersonBox>> people;
        const auto keepFound = [&](PhotoWork& done) { found.push_back(std::move(done.found)); };
        if (!forEachPhoto(photos, threads, QStringLiteral("measuring"), sinks, search, keepFound,
                          error))
            return false;
        for (const TrainingPhoto& photo : photos)
            people.push_back(photo.people);
        detector.threshold = recommendedThreshold(found, people);
        file = detectorText(detector, *trained);
        sinks.round(
            detector.threshold
                ? QStringLiteral("threshold %1, the best F1 on the training photographs; %2")
                      .arg(*detector.threshold)
                      .arg(seconds(timer))
                : QStringLiteral("no threshold: no person found in the training "
                                 "photographs; %1")
                      .arg(seconds(timer)));
    } catch (const std::bad_alloc&) {
        error = QStringLiteral("not enough memory for the training");
        return false;
    }
    return true;
}
