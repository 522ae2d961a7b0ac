// Prints the walkthrough route up to a state (argument 1, default 150) as JSON lines, one click
// each, for the screen-reader test to drive the real game along.
#include "a11y/StoryRoute.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int until = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 150;
    if (until < lw::kFirstScreen || until > lw::kLastScreenWithAllIcons) {
        std::fprintf(stderr, "route_oracle: the state must be between %d and %d\n", lw::kFirstScreen,
                     lw::kLastScreenWithAllIcons);
        return 2;
    }
    for (const lw::route::Step& step : lw::route::storyRoute(until)) {
        const QJsonObject row{
            {QStringLiteral("command"), step.command}, {QStringLiteral("column"), step.column},
            {QStringLiteral("line"), step.line},       {QStringLiteral("title"), step.title},
            {QStringLiteral("state"), step.state},     {QStringLiteral("lines"), step.linesShown},
            {QStringLiteral("reading"), step.reading}, {QStringLiteral("title_reading"), step.titleReading}};
        std::fputs(QJsonDocument(row).toJson(QJsonDocument::Compact).constData(), stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}
