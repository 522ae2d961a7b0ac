// The ruby parser on well-formed and broken marks, and the marks of every line of the script.
#include "Ruby.h"
#include "StoryTexts.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace lw::story;

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The runs as "base" or "base/reading", joined by '|'.
QByteArray dump(std::string_view marked)
{
    QByteArrayList runs;
    for (const RubySegment& s : rubySegments(marked))
        runs << QByteArray(s.base.data(), qsizetype(s.base.size())) +
                    (s.reading.empty() ? "" : "/" + QByteArray(s.reading.data(), qsizetype(s.reading.size())));
    return runs.join('|');
}

bool isKana(char32_t c)
{
    return (c >= U'ぁ' && c <= U'ゖ') || (c >= U'ァ' && c <= U'ヺ') || c == U'ー' || c == U'ゝ' || c == U'ゞ';
}

bool isKanji(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || c == U'々' || c == U'〆';
}

} // namespace

class RubyTest : public QObject {
    Q_OBJECT

private slots:
    void parses_data();
    void parses();
    void everyLineOfTheScript();
};

void RubyTest::parses_data()
{
    QTest::addColumn<QByteArray>("marked");
    QTest::addColumn<QByteArray>("runs");
    QTest::addColumn<QByteArray>("kana");
    // Well formed: the base after ｜, or the kanji run before 《, which stops at kana and at the
    // previous ruby.
    QTest::newRow("bar") << QByteArray("｜ＨＯＹ《ホイ》だ") << QByteArray("ＨＯＹ/ホイ|だ") << QByteArray("ホイだ");
    QTest::newRow("kanji run") << QByteArray("お茶《ちゃ》と女優《じょゆう》の卵《たまご》")
                               << QByteArray("お|茶/ちゃ|と|女優/じょゆう|の|卵/たまご")
                               << QByteArray("おちゃとじょゆうのたまご");
    QTest::newRow("back to back") << QByteArray("十六《じゅうろく》歳《さい》") << QByteArray("十六/じゅうろく|歳/さい")
                                  << QByteArray("じゅうろくさい");
    QTest::newRow("bar over kana") << QByteArray("｜見て見て《みてみて》！") << QByteArray("見て見て/みてみて|！")
                                   << QByteArray("みてみて！");
    QTest::newRow("pauses") << QByteArray("光《ひかり》よ――｜ＨＯＹ《ホイ》・｜ＨＯＹ《ホイ》")
                            << QByteArray("光/ひかり|よ――|ＨＯＹ/ホイ|・|ＨＯＹ/ホイ")
                            << QByteArray("ひかりよ、ホイ、ホイ");
    QTest::newRow("no marks") << QByteArray("コンコン") << QByteArray("コンコン") << QByteArray("コンコン");
    QTest::newRow("empty") << QByteArray("") << QByteArray("") << QByteArray("");
    // Broken marks stay in the text as they are.
    QTest::newRow("unclosed") << QByteArray("漢字《かんじ") << QByteArray("漢字《かんじ") << QByteArray("漢字《かんじ");
    QTest::newRow("bar, no reading") << QByteArray("｜漢字です") << QByteArray("｜漢字です")
                                     << QByteArray("｜漢字です");
    QTest::newRow("empty reading") << QByteArray("漢字《》") << QByteArray("漢字《》") << QByteArray("漢字《》");
    QTest::newRow("no base") << QByteArray("あ《い》と｜《う》") << QByteArray("あ《い》と｜《う》")
                             << QByteArray("あ《い》と｜《う》");
    QTest::newRow("reopened") << QByteArray("漢《か《ん》") << QByteArray("漢《か《ん》") << QByteArray("漢《か《ん》");
    QTest::newRow("second bar") << QByteArray("｜あ｜字《じ》") << QByteArray("｜あ|字/じ") << QByteArray("｜あじ");
    QTest::newRow("bar before a broken mark")
        << QByteArray("｜字《じ、字《じ》") << QByteArray("｜字《じ、|字/じ") << QByteArray("｜字《じ、じ");
    QTest::newRow("invalid UTF-8") << QByteArray("\xff《じ》") << QByteArray("\xff《じ》") << QByteArray("\xff《じ》");
}

void RubyTest::parses()
{
    QFETCH(QByteArray, marked);
    QFETCH(QByteArray, runs);
    QFETCH(QByteArray, kana);
    const std::string_view text(marked.constData(), std::size_t(marked.size()));
    QCOMPARE(dump(text), runs);
    QCOMPARE(QByteArray::fromStdString(kanaReading(text)), kana);
    QByteArray joined;
    for (const RubySegment& s : rubySegments(text))
        joined += QByteArray(s.base.data(), qsizetype(s.base.size()));
    QCOMPARE(joined, QByteArray::fromStdString(displayText(text)));
}

// Every speaker and line: marks well formed, removing them by hand gives the shown text, the
// reading is all kana where there was kanji, and espeak-ng reads every reading in Japanese.
void RubyTest::everyLineOfTheScript()
{
    const QRegularExpression marks(QStringLiteral("｜|《[^》]*》"));
    QStringList readings;
    for (const auto& [where, marked] : lw::test::allTexts(true)) {
        const QString shown = q(displayText(marked));
        const QString reading = q(kanaReading(marked));
        const QString at = QString::fromStdString(where) + ": " + q(marked);
        QVERIFY2(!shown.contains(QRegularExpression(QStringLiteral("[｜《》]"))), qPrintable("broken mark at " + at));
        QVERIFY2(q(marked).remove(marks) == shown, qPrintable(at));
        for (const RubySegment& s : rubySegments(marked))
            for (char32_t c : q(s.reading).toUcs4())
                QVERIFY2(isKana(c), qPrintable("reading not in kana at " + at));
        for (char32_t c : reading.toUcs4())
            QVERIFY2(!isKanji(c), qPrintable("kanji without a reading at " + at));
        readings << reading;
    }

    const QString espeak = QStandardPaths::findExecutable(QStringLiteral("espeak-ng"));
    if (espeak.isEmpty())
        QSKIP("espeak-ng is not installed");
    // One run for all readings; only when it falls back to English, one run per line to say which.
    const auto phonemes = [&espeak](const QString& text) {
        QProcess p;
        p.start(espeak, {"-v", "ja", "-q", "-x", "--stdin"});
        p.write(text.toUtf8());
        p.closeWriteChannel();
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return QStringLiteral("(espeak-ng failed)");
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString all = phonemes(readings.join("\n\n"));
    QVERIFY2(!all.contains("failed"), "espeak-ng did not run");
    if (all.contains("(en)"))
        for (const QString& reading : readings)
            QVERIFY2(!phonemes(reading).contains("(en)"), qPrintable("read in English: " + reading));
}

QTEST_GUILESS_MAIN(RubyTest)
#include "tst_ruby.moc"
