// Scene pictures decoded ahead, and the scenes the story can go to next.
#include "ScenePictures.h"

#include "GameState.h"
#include "NextTable.h"
#include "ResponseTables.h"

#include <QDir>

#include <algorithm>
#include <span>

namespace lw {

namespace {

// The cache key: a picture depends on its directory, its name and the density it is read for.
QString keyOf(const QString& fileName, double density)
{
    return QDir::currentPath() + u'/' + fileName + u'@' + QString::number(density);
}

bool hasStateIn(int first, int last, int scene) { return sceneOf(first) <= scene && scene <= sceneOf(last); }

} // namespace

std::vector<int> scenesAfter(int scene)
{
    std::vector<int> scenes;
    const auto add = [&](int first, int last, int next) {
        const int to = sceneOf(next);
        if (hasStateIn(first, last, scene) && to != scene &&
            std::find(scenes.begin(), scenes.end(), to) == scenes.end())
            scenes.push_back(to);
    };
    for (const story::NextRow& row : story::kNextTable)
        add(row.screen, row.screen, row.next);
    for (const auto& table :
         {std::span<const story::Answer>(story::kLookTable), std::span<const story::Answer>(story::kTalkTable),
          std::span<const story::Answer>(story::kThinkTable), std::span<const story::Answer>(story::kMagicTable)})
        for (const story::Answer& row : table)
            if (row.next)
                add(row.first, row.last, *row.next);
    return scenes;
}

ScenePictures::ScenePictures(ProgramEnd& onError, QObject* parent) : QObject(parent), onError_(onError) {}

ScenePictures::~ScenePictures()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    jobAdded_.notify_one();
    if (worker_.joinable())
        worker_.join();
}

// One decode at a time, in the order asked: the player reads meanwhile.
void ScenePictures::decodeJobs()
{
    for (;;) {
        std::unique_lock lock(mutex_);
        jobAdded_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_)
            return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        if (*job.wanted)
            job.picture.set_value(readPictureAt(job.fileName, job.density));
    }
}

std::vector<ScenePictures::Entry>::const_iterator ScenePictures::find(const QString& key) const
{
    return std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.key == key; });
}

QImage ScenePictures::take(const QString& fileName, double density)
{
    const auto found = find(keyOf(fileName, density));
    if (found != entries_.end()) {
        const Picture picture = found->picture.get();
        entries_.erase(found);
        if (picture.error == PictureError::None)
            return picture.image;
    }
    return LoadPicture(fileName, density, onError_);
}

void ScenePictures::prefetch(const QStringList& fileNames, double density)
{
    std::vector<Entry> wanted;
    for (const QString& fileName : fileNames) {
        if (wanted.size() == std::size_t(kLimit))
            break;
        const QString key = keyOf(fileName, density);
        if (std::any_of(wanted.begin(), wanted.end(), [&](const Entry& entry) { return entry.key == key; }))
            continue;
        if (const auto held = find(key); held != entries_.end()) {
            wanted.push_back(*held);
            continue;
        }
        // The promise lives with the job: a picture forgotten while it is decoded is freed when
        // the decode ends, and one forgotten before its decode starts is never decoded.
        Job job{{}, std::make_shared<std::atomic<bool>>(true), fileName, density};
        wanted.push_back({key, job.picture.get_future().share(), job.wanted});
        {
            const std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
        }
        jobAdded_.notify_one();
        if (!worker_.joinable())
            worker_ = std::thread([this] { decodeJobs(); });
    }
    for (const Entry& entry : entries_)
        if (std::none_of(wanted.begin(), wanted.end(), [&](const Entry& kept) { return kept.key == entry.key; }))
            *entry.wanted = false;
    entries_ = std::move(wanted);
    const std::lock_guard lock(mutex_);
    std::erase_if(jobs_, [](const Job& job) { return !*job.wanted; });
}

bool ScenePictures::isReady(const QString& fileName, double density) const
{
    const auto found = find(keyOf(fileName, density));
    return found != entries_.end() && found->picture.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

} // namespace lw
