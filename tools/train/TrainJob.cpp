#include "TrainJob.h"

#include "BoxOutsidePhoto.h"
#include "DetectorFile.h"
#include "FalseAlarms.h"
#include "ImageLoader.h"
#include "OrderedWork.h"
#include "SvmTraining.h"
#include "ThreadCount.h"
#include "WindowSamples.h"

#include <QElapsedTimer>

#include <new>

namespace
{

// What one photograph gave in a stage.
struct PhotoWork {
    PhotoSamples samples;
    MinedAlarms alarms;
    QString error;
};

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
                   const TrainSinks& sinks, QByteArray& detectorFile, QString& error)
{
    const int threads = options.threads > 0 ? options.threads : threadCount();
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
            return [&, describer = WindowDescriber(detector)](int index) mutable {
                PhotoWork work;
                const TrainingPhoto& photo = photos[static_cast<size_t>(index)];
                QImage image;
                if (loadPhoto(photo, image, work.error))
                    work.samples = samplePhoto(image, photo.people, detector, scan, sampling,
                                               static_cast<std::uint32_t>(index) + 1, describer);
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
        detectorFile = trainDetector(set, detector, options.C);
        sinks.round(QStringLiteral("round 0: %1 positives, %2 negatives; %3")
                        .arg(set.positives.size())
                        .arg(set.negatives.size())
                        .arg(seconds(timer)));

        for (int round = 1; round <= options.rounds; ++round) {
            timer.restart();
            Detector trained;
            if (!readDetectorText(detectorFile, trained, error))
                return false;
            const auto mine = [&] {
                return [&, scanner = HogScanner(trained, scan)](int index) mutable {
                    PhotoWork work;
                    const TrainingPhoto& photo = photos[static_cast<size_t>(index)];
                    QImage image;
                    if (loadPhoto(photo, image, work.error))
                        work.alarms =
                            mineFalseAlarms(scanner, image, photo.people, options.hardPerPhoto);
                    return work;
                };
            };
            long long found = 0;
            long long kept = 0;
            const auto keepAlarms = [&](PhotoWork& done) {
                found += done.alarms.found;
                kept += static_cast<long long>(done.alarms.features.size());
                for (auto& row : done.alarms.features)
                    set.negatives.push_back(std::move(row));
            };
            if (!forEachPhoto(photos, threads, QStringLiteral("round %1").arg(round), sinks, mine,
                              keepAlarms, error))
                return false;
            const QString alarms =
                QStringLiteral("%1 false alarms found, %2 kept").arg(found).arg(kept);
            if (kept == 0) {
                sinks.round(QStringLiteral("round %1: %2; training ends; %3")
                                .arg(round)
                                .arg(alarms, seconds(timer)));
                break;
            }
            detectorFile = trainDetector(set, detector, options.C);
            sinks.round(QStringLiteral("round %1: %2 positives, %3 negatives; %4; %5")
                            .arg(round)
                            .arg(set.positives.size())
                            .arg(set.negatives.size())
                            .arg(alarms, seconds(timer)));
        }
    } catch (const std::bad_alloc&) {
        error = QStringLiteral("not enough memory for the training");
        return false;
    }
    return true;
}
