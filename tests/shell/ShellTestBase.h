// What the shell tests share: a game made with fake music, dialogs, sound settings and program
// end, its scene catalogue filled from the scene table, and the data directory as the working
// directory.
#pragma once

#include "Game.h"
#include "MarkedText.h"
#include "SceneCatalogue.h"
#include "SceneTable.h"
#include "fakes/FakeServices.h"

#include <QDir>
#include <QObject>

#include <memory>
#include <string_view>

namespace lw::testing {

using fakes::FatalCaught;

inline QString str(std::u16string_view text) { return QString::fromUtf16(text.data(), qsizetype(text.size())); }

class ShellTestBase : public QObject {
protected:
    fakes::FakeServices fakes_;
    fakes::RecordingMidiService& midiService_ = fakes_.midi;
    fakes::FakeDialogs& dialogs_ = fakes_.dialogs;
    fakes::FakeSoundControl& sound_ = fakes_.sound;
    QList<int>& ended_ = fakes_.programEnd.statuses; // the statuses the program would have ended with

    Game& session() { return *game_; }
    // A fresh game in place of the one before, for a test that runs the game's stages.
    void restartGame()
    {
        game_.reset();
        game_ = std::make_unique<Game>(fakes_.services);
        game_->scenes().fillSceneTable();
    }

    // Called from initTestCase: a game with the fakes, `dataDir` the working directory.
    void installShellServices(const QString& dataDir)
    {
        old_ = QDir::currentPath();
        QDir::setCurrent(dataDir);
        restartGame();
    }
    // Called from cleanupTestCase.
    void removeShellServices()
    {
        game_.reset();
        QDir::setCurrent(old_);
    }

private:
    std::unique_ptr<Game> game_;
    QString old_;
};

} // namespace lw::testing
