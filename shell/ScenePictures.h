// Scene pictures decoded ahead on a worker thread while the player reads, so that a scene change
// only swaps in a picture that is already decoded.
#pragma once

#include "PictureLoader.h"

#include <QImage>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace lw {

// The scenes the story can enter from `scene`: the scene of every state that Next or a command
// moves to from one of `scene`'s states, in table order, each once, `scene` itself left out.
std::vector<int> scenesAfter(int scene);

// A small cache of decoded scene pictures, owned by the scene catalogue.
class ScenePictures : public QObject {
    Q_OBJECT
public:
    // At most this many pictures are held or waiting to be decoded, plus one forgotten whose
    // decode is under way (a 2x scene picture is 2.7 MB). The story's scenes lead to one next.
    static constexpr int kLimit = 4;

    // A picture that cannot be read ends the game through `onError`, as LoadPicture does.
    explicit ScenePictures(ProgramEnd& onError, QObject* parent = nullptr);
    ~ScenePictures() override;

    // `fileName` for a box of `density`, exactly as LoadPicture gives it: the picture decoded
    // ahead (waiting for its decode when it is still under way), or else read here. A file that
    // failed ahead is read again here, so a missing or broken file ends the game with the same
    // report as ever.
    QImage take(const QString& fileName, double density);

    // Starts decoding the first kLimit of `fileNames` at `density` on the worker and forgets
    // every other picture. Files are read from the working directory as it is when the worker
    // gets to them; the game never changes it while it plays.
    void prefetch(const QStringList& fileNames, double density);

    // Whether `fileName` at `density` has been decoded ahead and waits to be taken.
    bool isReady(const QString& fileName, double density) const;

private:
    struct Entry {
        QString key;
        std::shared_future<Picture> picture;
        std::shared_ptr<std::atomic<bool>> wanted; // cleared when forgotten: a queued decode is skipped
    };
    struct Job {
        std::promise<Picture> picture;
        std::shared_ptr<std::atomic<bool>> wanted;
        QString fileName;
        double density;
    };
    std::vector<Entry>::const_iterator find(const QString& key) const;
    void decodeJobs();

    ProgramEnd& onError_;
    std::vector<Entry> entries_;
    // The worker thread, started with the first prefetch, and its queue. A std::thread and
    // std::mutex, so that ThreadSanitizer sees the hand-over.
    std::mutex mutex_;
    std::condition_variable jobAdded_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace lw
