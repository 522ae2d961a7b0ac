// Scene pictures decoded ahead on a worker thread while the player reads, so that a scene change
// only swaps in a picture that is already decoded.
#pragma once

#include "PictureLoader.h"

#include <QImage>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <future>
#include <memory>
#include <vector>

namespace lw {

// The scenes the story can enter from `scene`: the scene of every state that Next or a command
// moves to from one of `scene`'s states, in table order, each once, `scene` itself left out.
std::vector<int> scenesAfter(int scene);

// A small cache of decoded scene pictures, owned by the window that shows them.
class ScenePictures : public QObject {
    Q_OBJECT
public:
    // At most this many pictures are held or being decoded (a 2x scene picture is 2.7 MB).
    static constexpr int kLimit = 4;

    // The cache of `owner`, made on first use and ended with it.
    static ScenePictures& of(QObject& owner);

    explicit ScenePictures(QObject* parent = nullptr);
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
    std::vector<Entry>::const_iterator find(const QString& key) const;

    std::vector<Entry> entries_;
    QThreadPool worker_;
};

} // namespace lw
