// Every answer of every state against the reviewed answer table answers.txt: for each of the
// story's states and each command (and each third of the picture where Look depends on it) the
// speaker, the state it lands on, any effect and the start of the line; and that every state
// and command the table leaves out answers with the command's fixed line and stays.
#include "AnswerTable.h"
#include "StoryStates.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <map>
#include <tuple>

using namespace lw;
using namespace lw::test;

namespace {

struct Expected {
    Reply reply;  // text holds the key phrase
    int line = 0; // in the file
};

using Key = std::tuple<int, int, char>; // state, command, column ('*' or '1'..'3')

int commandCode(const QString& word)
{
    for (int command = kLook; command <= kNext; ++command)
        if (word == QString::fromUtf8(kCommandWords[std::size_t(command)].data()))
            return command;
    return 0;
}

} // namespace

class AnswersTest : public QObject {
    Q_OBJECT

    std::map<Key, Expected> table_;

private slots:
    void initTestCase()
    {
        QFile file(qEnvironmentVariable("LW_SOURCE_DIR") + QStringLiteral("/tests/scenario/answers.txt"));
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));
        int number = 0;
        const QRegularExpression fields(QStringLiteral(R"(^(-?\d+) (\w+) ([*123]) (\S+) (-?\d+) (\S+) ?(.*)$)"));
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).chopped(1);
            ++number;
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const QRegularExpressionMatch m = fields.match(line);
            QVERIFY2(m.hasMatch() && commandCode(m.captured(2)), qPrintable(QStringLiteral("line %1").arg(number)));
            const Key key{m.captured(1).toInt(), commandCode(m.captured(2)), m.captured(3).at(0).toLatin1()};
            QVERIFY2(!table_.count(key), qPrintable(QStringLiteral("line %1 repeats a row").arg(number)));
            table_[key] = {Reply{m.captured(4).toStdString(), m.captured(5).toInt(), m.captured(6).toStdString(),
                                 m.captured(7).trimmed().toStdString()},
                           number};
        }
        QVERIFY(table_.size() > 179 * 5);
    }

    // Each row as the game answers it.
    void rowsAnswerAsListed()
    {
        for (const auto& [key, expected] : table_) {
            const auto [screen, command, column] = key;
            const Reply actual = replyAt(screen, command, column == '*' ? 1 : column - '0');
            const QString where = QStringLiteral("line %1 (%2 %3): ").arg(expected.line).arg(screen).arg(command);
            QVERIFY2(actual.speaker == expected.reply.speaker,
                     qPrintable(where + QString::fromStdString("speaker " + actual.speaker)));
            QVERIFY2(actual.lands == expected.reply.lands,
                     qPrintable(where + QStringLiteral("lands %1").arg(actual.lands)));
            QVERIFY2(actual.effect == expected.reply.effect,
                     qPrintable(where + QString::fromStdString("effect " + actual.effect)));
            QVERIFY2(actual.text.rfind(expected.reply.text, 0) == 0 &&
                         actual.text.empty() == expected.reply.text.empty(),
                     qPrintable(where + QString::fromStdString("line " + actual.text)));
            // Look listed for all thirds answers the same in each.
            if (command == kLook && column == '*')
                for (int other : {2, 3})
                    QVERIFY2(replyAt(screen, command, other) == actual,
                             qPrintable(where + QStringLiteral("by column")));
        }
    }

    // Every story state is listed with all five commands, Look in all or in each third.
    void everyStoryStateIsListed()
    {
        for (int screen : storyStates()) {
            for (int command = kLook; command <= kNext; ++command) {
                const bool all = table_.count({screen, command, '*'}) > 0;
                const bool thirds = table_.count({screen, command, '1'}) && table_.count({screen, command, '2'}) &&
                                    table_.count({screen, command, '3'});
                QVERIFY2(all != thirds, qPrintable(QStringLiteral("%1 %2").arg(screen).arg(command)));
            }
        }
    }

    // Everything the table leaves out, over the whole 16-bit range, is the fixed refusal.
    void everythingElseIsTheFixedLine()
    {
        for (int screen = -32768; screen <= 32767; ++screen) {
            for (int command = kLook; command <= kNext; ++command) {
                for (int column = 1; column <= (command == kLook ? 3 : 1); ++column) {
                    if (table_.count({screen, command, '*'}) || table_.count({screen, command, char('0' + column)}))
                        continue;
                    if (!isPlainRefusal(replyAt(screen, command, column), screen))
                        QFAIL(qPrintable(QStringLiteral("%1 %2 (third %3) answers but is not in the table")
                                             .arg(screen)
                                             .arg(command)
                                             .arg(column)));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(AnswersTest)
#include "tst_answers.moc"
