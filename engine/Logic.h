#pragma once

#include "LocationFile.h"
#include "ModelDeleter.h"
#include "TrainingRows.h"

#include <QFile>
#include <QImage>
#include <QString>
#include <linear.h>

#include <functional>
#include <memory>
#include <vector>

#ifdef OMBRE_WINDOW
#include <QObject>
#endif

// The detector: the paths the user gave, the current image, the open files,
// the training rows and the loaded classifier.
// Every command replaces what it needs; what it leaves stays until then.
#ifdef OMBRE_WINDOW
class Logic : public QObject
{
    Q_OBJECT
#else
class Logic
{
#endif
public:
    std::unique_ptr<QImage> curImage;             // the image being (or last) processed
    std::unique_ptr<QFile> inFile;                // first text file of the command
    std::unique_ptr<QFile> outFile;               // second file of the command
    std::unique_ptr<model, ModelDeleter> myModel; // the search's classifier
    TrainingRows trainFeatures;                   // the rows of the last training, in file order
    std::vector<int> trainLabels;                 // +1 object, -1 background
    std::unique_ptr<QString> curFile;             // path of the image to load next
    QString curInFile;
    QString curModelFile;
    QString curOutFile;
    QString curCat;
    // Told the name of each image a training starts on, or whose lines a
    // directory search writes, on the thread that runs the command, so that
    // a window can show progress. May be empty.
    std::function<void(const QString&)> onImage;
    // Told, on the thread that runs the command, after each image of a
    // training how many images are done out of how many (training counts a
    // run of lines on one image as one image). May be empty.
    std::function<void(int done, int total)> onProgress;
    // Told the same after each image of a directory search, which reads its
    // names file as it goes and so knows no total. May be empty.
    std::function<void(int done)> onSearchProgress;

    Logic();
    ~Logic();

    // Training: reads the location file curInFile, collects one positive and
    // the negative rows of every usable line on threadCount() threads (see
    // TrainingRows.h), trains and saves the model; the model file is the
    // same for any number of threads. curImage ends as the last image
    // trained on. Returns false when no model file was written.
    bool getFilesTr();
    // Makes curFile the path of image number i in the directory curCat.
    void getFileNameFromInt(int i);
    // Searches the image at curFile as image number Num and writes its
    // accepted windows to the open outFile; curImage becomes the image with
    // its boxes drawn. False when the image cannot be loaded or the lines
    // cannot be written. A directory search does each image this way on
    // threads of its own (see DirectorySearch.h).
    bool useImage(int Num);
    // Recall and precision of the found boxes in curInFile against the right
    // boxes in curModelFile. The caller owns the returned text (delete[]).
    char* PRcount();
    // Searches every image that the names file curInFile lists, on
    // threadCount() threads, into curOutFile; the output is the same for
    // any number of threads (see DirectorySearch.h). The output is emptied
    // once the names file has opened. curImage ends as the last image
    // searched, its boxes drawn.
    bool getFilesSDir();
    // Searches the single image at curInFile as image number 0.
    bool getFilesSImg();

    // A model fit for this window: 2000 features, no bias, two classes.
    // Loads curModelFile into myModel; false (and no model) otherwise.
    bool loadModel();

private:
    bool makeModel();
    // Empties the output location file and leaves outFile open on it for
    // the lines of the images.
    // An output that is the same file as the model or the command's input
    // (input says which) is refused and left alone: a slip at the last
    // prompt must not wipe what the command was to read.
    bool emptyOutput(const QString& input);
};
