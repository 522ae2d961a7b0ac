// The ruby parser on well-formed and broken marks, and the marks of every line of the script.
#include "Ruby.h"
#include "SceneTable.h"
#include "StoryTexts.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <set>

using namespace lw::story;

namespace {

QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The runs as "base", "base/reading" (furigana) or "base=reading" (speech only), joined by '|'.
QByteArray dump(std::string_view marked)
{
    QByteArrayList runs;
    for (const RubySegment& s : rubySegments(marked))
        runs << QByteArray(s.base.data(), qsizetype(s.base.size())) +
                    (s.reading.empty()
                         ? ""
                         : (showsFurigana(s) ? "/" : "=") + QByteArray(s.reading.data(), qsizetype(s.reading.size())));
    return runs.join('|');
}

bool isKana(char32_t c)
{
    return (c >= U'ぁ' && c <= U'ゖ') || (c >= U'ァ' && c <= U'ヺ') || c == U'ー' || c == U'ゝ' || c == U'ゞ';
}

// What a reading must not keep: kanji (espeak-ng spells them out in English), Latin letters (read
// in English) and digits (full-width ones it skips), half- or full-width.
bool needsReading(char32_t c)
{
    const auto in = [c](char32_t first, char32_t last) { return c >= first && c <= last; };
    return in(0x4E00, 0x9FFF) || in(0x3400, 0x4DBF) || c == U'々' || c == U'〆' || in(U'0', U'9') || in(U'A', U'Z') ||
           in(U'a', U'z') || in(U'０', U'９') || in(U'Ａ', U'Ｚ') || in(U'ａ', U'ｚ');
}

// The kana spoken otherwise than written, with their speech readings.
const QMap<QString, QString> kSpokenParticles{{QStringLiteral("は"), QStringLiteral("わ")},
                                              {QStringLiteral("へ"), QStringLiteral("え")}};

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
    // A reading over kana alone is spoken, never drawn; Latin letters and digits, half- or
    // full-width, take furigana like kanji.
    QTest::newRow("speech only") << QByteArray(
                                        "これ｜は《わ》｜ｗ《ダブリュー》、｜2《に》｜へ《え》｜ワタシ《わたし》")
                                 << QByteArray("これ|は=わ|ｗ/ダブリュー|、|2/に|へ=え|ワタシ=わたし")
                                 << QByteArray("これわダブリュー、にえわたし");
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

// Every speaker and line, and every scene caption: marks well formed, removing them by hand gives the shown text, the
// reading is all kana where there were kanji, letters or digits, and espeak-ng reads every reading in Japanese.
void RubyTest::everyLineOfTheScript()
{
    const QRegularExpression marks(QStringLiteral("｜|《[^》]*》"));
    QStringList readings;
    std::set<std::string_view> checked;
    std::vector<std::string> captions;
    for (const lw::SceneRow& row : lw::kSceneTable)
        captions.push_back(QString::fromUtf16(row.caption.data(), qsizetype(row.caption.size())).toStdString());
    std::vector<lw::test::Origin> texts = lw::test::allTexts();
    for (const std::string& caption : captions)
        texts.push_back({"caption", caption});
    for (const auto& [where, text, speaker] : texts)
        for (const std::string_view marked : {speaker, text}) {
            if (!checked.insert(marked).second)
                continue;
            const QString shown = q(displayText(marked));
            const QString reading = q(kanaReading(marked));
            const QString at = QString::fromStdString(where) + ": " + q(marked);
            QVERIFY2(!shown.contains(QRegularExpression(QStringLiteral("[｜《》]"))),
                     qPrintable("broken mark at " + at));
            QVERIFY2(q(marked).remove(marks) == shown, qPrintable(at));
            for (const RubySegment& s : rubySegments(marked)) {
                for (char32_t c : q(s.reading).toUcs4())
                    QVERIFY2(isKana(c), qPrintable("reading not in kana at " + at));
                // Over kana, the script marks only the particles spoken otherwise than written.
                if (!s.reading.empty() && !showsFurigana(s))
                    QVERIFY2(kSpokenParticles.value(q(s.base)) == q(s.reading),
                             qPrintable("speech reading other than は→わ, へ→え at " + at));
            }
            for (char32_t c : reading.toUcs4())
                QVERIFY2(!needsReading(c), qPrintable("kanji, letter or digit without a reading at " + at));
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
    // Written as it stands, the particle は comes out as "ha"; its speech reading makes it "wa".
    QVERIFY2(phonemes(q(kanaReading("ここ｜は《わ》妖精界《ようせいかい》"))).contains('w'),
             "the particle は is not spoken wa");
    if (all.contains("(en)"))
        for (const QString& reading : readings)
            QVERIFY2(!phonemes(reading).contains("(en)"), qPrintable("read in English: " + reading));
}

QTEST_GUILESS_MAIN(RubyTest)
#include "tst_ruby.moc"
