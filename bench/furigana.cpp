// Furigana against the plain label: the time to lay out and paint the message window's line with
// and without them, in the same run, on the script's longest lines in both window layouts.
//
// Usage: QT_QPA_PLATFORM=offscreen bench_furigana [rounds=400]
// Prints, for each layout, the median time per line (set the text, lay it out, paint it into an
// image) with furigana off and on, and their ratio. Two lines take turns, so every round lays
// out anew.
#include "EntryTable.h"
#include "Game.h"
#include "MessageWindow.h"
#include "NextTable.h"
#include "PlayerAdditions.h"
#include "ResponseTables.h"
#include "Ruby.h"
#include "fakes/FakeServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

using namespace lw;

namespace {

struct Marked {
    QString speaker;
    QString text;
};

QString q(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// The two longest lines as shown, with their marks.
std::vector<Marked> longestLines()
{
    std::vector<story::Line> all;
    for (const auto& row : story::kNextTable)
        all.push_back(row.line);
    for (const auto& row : story::kEntryTable)
        all.push_back(row.line);
    for (const auto table :
         {std::span<const story::Answer>(story::kLookTable), std::span<const story::Answer>(story::kTalkTable),
          std::span<const story::Answer>(story::kThinkTable), std::span<const story::Answer>(story::kMagicTable)})
        for (const auto& answer : table)
            all.push_back(answer.line);
    std::sort(all.begin(), all.end(), [](const story::Line& a, const story::Line& b) {
        return story::displayText(a.text).size() > story::displayText(b.text).size();
    });
    return {{q(all[0].speaker), q(all[0].text)}, {q(all[1].speaker), q(all[1].text)}};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median milliseconds to show and paint one line.
double timeLines(PlayerAdditions& additions, MessageWindow& window, const std::vector<Marked>& lines, int rounds)
{
    QImage image(window.lineLabel->size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const Marked& line = lines[std::size_t(i) % lines.size()];
        image.fill(Qt::white);
        QElapsedTimer timer;
        timer.start();
        additions.readingHelp().lineMarks(line.speaker, line.text);
        const QString speaker = QString::fromStdString(story::displayText(line.speaker.toStdString()));
        const QString text = QString::fromStdString(story::displayText(line.text.toStdString()));
        additions.readingHelp().lineShown(speaker, text);
        window.setLine(formatLine(speaker, text));
        window.lineLabel->render(&image);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 400;
    fakes::FakeServices services;
    Game session(services.services);
    PlayerAdditions& additions = session.additions();
    MessageWindow& window = session.windows().message.get();
    const std::vector<Marked> lines = longestLines();
    // The message window's text areas: stacked (70 px high under a 30 px title bar) and side by side.
    const struct {
        const char* name;
        QSize window;
        int labelWidth;
    } layouts[] = {{"stacked", {721, 70}, 714}, {"side by side", {139, 389}, 140}};
    for (const auto& layout : layouts) {
        window.resize(layout.window);
        window.lineLabel->setFixedWidth(layout.labelWidth);
        additions.readingHelp().setFurigana(false);
        timeLines(additions, window, lines, rounds / 4); // warm the font caches
        const double off = timeLines(additions, window, lines, rounds);
        additions.readingHelp().setFurigana(true);
        const double on = timeLines(additions, window, lines, rounds);
        std::printf("%-13s furigana off %.3f ms, on %.3f ms, ratio %.2f (median of %d)\n", layout.name, off, on,
                    on / off, rounds);
    }
    return 0;
}
