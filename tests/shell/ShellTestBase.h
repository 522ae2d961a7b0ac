// What the shell tests share: the fake music and dialogs, the end and fatal handlers, the scene
// catalogue filled from the scene table, and the data directory as the working directory.
#pragma once

#include "ErrorReport.h"
#include "MarkedText.h"
#include "Music.h"
#include "Runtime.h"
#include "SceneCatalogue.h"
#include "SceneTable.h"
#include "ShellServices.h"
#include "fakes/FakeDialogs.h"
#include "fakes/RecordingMidiService.h"

#include <QDir>
#include <QObject>

#include <stdexcept>
#include <string_view>

namespace lw::testing {

// A fatal report, thrown so that a test can expect it instead of the program ending.
struct FatalCaught : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline QString str(std::u16string_view text) { return QString::fromUtf16(text.data(), qsizetype(text.size())); }

class ShellTestBase : public QObject {
protected:
    fakes::RecordingMidiService midiService_;
    Music midi_{midiService_, [] { return std::string("/game"); }};
    fakes::FakeDialogs dialogs_;
    QList<int> ended_; // the statuses the program would have ended with

    // Called from initTestCase: the services in, `dataDir` the working directory.
    void installShellServices(const QString& dataDir)
    {
        old_ = QDir::currentPath();
        QDir::setCurrent(dataDir);
        installMusic(&midi_);
        setDialogs(&dialogs_);
        runtime::setEndHandler([this](int status) { ended_ << status; });
        setFatalHandler([](const QString& message) { throw FatalCaught(message.toStdString()); });
        for (const SceneRow& row : kSceneTable) {
            ScenePictureKey[std::size_t(row.scene)] = str(row.pictureKey);
            SceneCaption[std::size_t(row.scene)] = shownText(row.caption);
        }
    }
    // Called from cleanupTestCase.
    void removeShellServices()
    {
        QDir::setCurrent(old_);
        installMusic(nullptr);
        setDialogs(nullptr);
    }

private:
    QString old_;
};

} // namespace lw::testing
