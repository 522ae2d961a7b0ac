// A program end that records instead of ending. A fatal report is thrown as FatalCaught, since
// the real one never returns either; a test can expect it, or replace onFatal.
#pragma once

#include "Runtime.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <stdexcept>

namespace lw::fakes {

struct FatalCaught : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class RecordingProgramEnd : public ProgramEnd {
public:
    QList<int> statuses;
    QStringList fatalReports;
    std::function<void(int status)> onEnd;
    std::function<void(const QString& message)> onFatal = [](const QString& message) {
        throw FatalCaught(message.toStdString());
    };

    void end(int status) override
    {
        statuses << status;
        if (onEnd)
            onEnd(status);
    }
    void fatal(const QString& message) override
    {
        fatalReports << message;
        onFatal(message);
    }
};

} // namespace lw::fakes
