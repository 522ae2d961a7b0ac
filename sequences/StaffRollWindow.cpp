// The ending staff roll: 21 entries shown in step with the ending music's position.
#include "StaffRollWindow.h"

#include "Fonts.h"
#include "GameState.h"
#include "MarkedText.h"
#include "Twips.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace lw {
namespace {

constexpr int kTickMs = 200;
constexpr int kTickStep = 2;        // sixteenth notes the roll's own clock moves per tick
constexpr int kRollEnd = 690;       // the roll ends once the position is past this
constexpr int kStillTicksStop = 10; // 2 s without the position moving: the music has stopped
constexpr int kShowWindow = 2;      // entry numbers (position / 10) that bring the roll on screen
constexpr int kShowAgain = 8;

// The six picture credits, artist credit 1 to 6.
constexpr std::u16string_view kArtists[6] = {
    u"｜ＣＧ《シージー》：水無月《みなづき》あかり", u"｜ＣＧ《シージー》：柊《ひいらぎ》ことは",
    u"｜ＣＧ《シージー》：東雲《しののめ》みなと",   u"｜ＣＧ《シージー》：若葉《わかば》すず",
    u"｜ＣＧ《シージー》：青柳《あおやぎ》ひより",   u"｜ＣＧ《シージー》：霧島《きりしま》つばさ",
};
constexpr std::u16string_view cg(int artist) { return kArtists[artist - 1]; }

// One entry: shown while position / 10 equals `window`. Its texts carry ruby marks for speech.
struct RollRow {
    int window;
    int picture; // cache holder cachedPicture(picture)
    std::u16string_view heading;
    std::u16string_view credit;
};

constexpr RollRow kRoll[] = {
    {2, 0, u"｜Lunaweave《ルナウィーブ》", u"スタッフ"},
    {8, 1, u"ルネッタ", cg(1)},
    {11, 2, u"プリム", cg(1)},
    {14, 3, u"ジュピター教授《きょうじゅ》、ルネッタ", cg(2)},
    {17, 4, u"こまち", cg(3)},
    {20, 5, u"雛鳥《ひなどり》ゆかり", cg(3)},
    {23, 6, u"雛鳥《ひなどり》ゆかり（楢山《ならやま》女子高《じょしこう》）", cg(4)},
    {26, 7, u"なすの", cg(5)},
    {29, 8, u"谷川《たにがわ》", cg(4)},
    {32, 9, u"浅間《あさま》望《のぞむ》", cg(4)},
    {35, 10, u"ハチ公《こう》", cg(6)},
    {38, 11, u"こまち（楢山《ならやま》女子高《じょしこう》）", cg(1)},
    {41, 12, u"｜ＣＧ《シージー》協力《きょうりょく》", u"小鳥遊《たかなし》まどか"},
    {44, 13, u"｜ＣＧ《シージー》協力《きょうりょく》", u"葛城《かつらぎ》ゆう"},
    {47, 14, u"｜ＢＧＭ《ビージーエム》", u"作曲《さっきょく》：真砂《まさご》ひびき"},
    {50, 15, u"「楢山《ならやま》女子高《じょしこう》」題字《だいじ》", u"墨田《すみだ》清風《せいふう》"},
    {53, 16, u"", u""},
    {55, 17, u"", u""},
    {57, 18, u"企画《きかく》協力《きょうりょく》", u"有明《ありあけ》りん"},
    {61, 19, u"制作《せいさく》", u"｜Kestrune《ケストルーン》　－｜ｉｎｔｅｒｎｅｔ《インターネット》－"},
    {65, 20, u"著作《ちょさく》", u"｜Kestrune《ケストルーン》"},
};

QString text(std::u16string_view view) { return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size())); }

// The device's position as a 16-bit whole number: rounded to the nearest, halves to even, and
// held inside the 16-bit range instead of overflowing.
int toPosition(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double rounded = std::nearbyint(value);
    return static_cast<int>(std::clamp(rounded, -32768.0, 32767.0));
}

} // namespace

void StaffRollWindow::start()
{
    services_.music.play("prum.mid");
    stepTimer.start();
    stepTimer.setInterval(kTickMs);
}

StaffRollWindow::StaffRollWindow(const Services& services) : GameWindow(FrameStyle::ToolWindow), services_(services)
{
    setObjectName(QStringLiteral("StaffRollWindow"));
    setWindowTitle(QStringLiteral("Lunaweave　エンディング"));
    setClientSizeTwips(8115, 2610);

    entryPicture = new ImageBox(this, true);
    entryPicture->setObjectName(QStringLiteral("entryPicture"));
    entryPicture->setTwipsGeometry(0, 0, 3600, 2620);

    headingLabel = new QLabel(this);
    headingLabel->setObjectName(QStringLiteral("headingLabel"));
    headingLabel->setFont(gameFont(QStringLiteral("ＭＳ Ｐゴシック"), 12, true));
    headingLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    headingLabel->setGeometry(twipsToPixels(3720), twipsToPixels(120), twipsToPixels(4215), twipsToPixels(375));

    creditLabel = new QLabel(this);
    creditLabel->setObjectName(QStringLiteral("creditLabel"));
    creditLabel->setFont(gameFont(QStringLiteral("ＭＳ Ｐゴシック"), 14.25, true));
    creditLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    creditLabel->setWordWrap(true);
    creditLabel->setGeometry(twipsToPixels(3720), twipsToPixels(720), twipsToPixels(4215), twipsToPixels(1095));

    // The cache holders sit below the client area (2610 twips high), where they are never seen:
    // three rows of seven.
    for (int i = 0; i < kRollPictures; ++i) {
        cache_[i] = new ImageBox(this, true);
        cache_[i]->setObjectName(QStringLiteral("cachedPicture"));
        cache_[i]->setProperty("Index", i);
        cache_[i]->setTwipsGeometry(120 + (i % 7) * 840, 3000 + (i / 7) * 600, 735, 495);
    }

    stepTimer.setObjectName(QStringLiteral("stepTimer"));
    stepTimer.setParent(this);
    stepTimer.setInterval(kTickMs);
    connect(&stepTimer, &QTimer::timeout, this, &StaffRollWindow::step);
}

ImageBox* StaffRollWindow::cachedPicture(int index) const
{
    return index >= 0 && index < kRollPictures ? cache_[static_cast<std::size_t>(index)] : nullptr;
}

void StaffRollWindow::onLoad() { centreOnScreen(); }

void StaffRollWindow::onUnload(UnloadReason reason)
{
    // Every game window is hidden by now: a roll closed by the player must still end, or the
    // game would stand on an empty screen.
    if (reason == UnloadReason::ByPlayer)
        finishRoll();
}

void StaffRollWindow::showEntry(int picture, const QString& heading, const QString& credit)
{
    if (const ImageBox* holder = cachedPicture(picture)) {
        entryPicture->showPictureOf(*holder);
        shownPicture_ = picture;
    }
    setMarkedText(headingLabel, heading);
    setMarkedText(creditLabel, credit);
    emit entryShown(heading, credit);
}

void StaffRollWindow::reloadPicture()
{
    if (const ImageBox* holder = cachedPicture(shownPicture_))
        entryPicture->showPictureOf(*holder);
}

void StaffRollWindow::setZoom(double factor)
{
    GameWindow::setZoom(factor);
    reloadPicture();
}

int StaffRollWindow::rollPosition()
{
    const int device = toPosition(services_.music.position());
    if (ownClock_)
        return lastPosition_ + kTickStep;
    if (!deviceReported_) {
        if (device <= 0)
            return rollCounter; // no position yet: the roll keeps its own time
        deviceReported_ = true;
        lastDevicePosition_ = device;
        stillTicks_ = 0;
        return device;
    }
    // The device has reported before: it has stopped when it falls back to 0 (or goes backwards),
    // no longer plays, or stands still for two seconds. The roll then goes on from where it was.
    bool stopped = device <= 0 || device < lastDevicePosition_ || !services_.music.isPlaying();
    if (!stopped) {
        stillTicks_ = device == lastDevicePosition_ ? stillTicks_ + 1 : 0;
        stopped = stillTicks_ >= kStillTicksStop;
    }
    if (stopped) {
        ownClock_ = true;
        return lastPosition_ + kTickStep;
    }
    lastDevicePosition_ = device;
    return device;
}

void StaffRollWindow::step()
{
    // Grows by 2 on every tick; the roll stops its timer once it has ended, so this cannot run on
    // to the end of the 16-bit range.
    rollCounter = static_cast<std::int16_t>(rollCounter + kTickStep);
    const int position = rollPosition();
    lastPosition_ = position;

    const int window = position / 10;
    const auto row =
        std::find_if(std::begin(kRoll), std::end(kRoll), [window](const RollRow& r) { return r.window == window; });
    if (row != std::end(kRoll)) {
        showEntry(row->picture, text(row->heading), text(row->credit));
        if (window == kShowWindow || window == kShowAgain) {
            showActive();
            emit hideGameWindows();
            if (window == kShowWindow)
                emit stopMusicRepeat();
        }
    }
    if (position > kRollEnd)
        finishRoll();
}

void StaffRollWindow::finishRoll()
{
    stepTimer.stop();
    if (ended_)
        return;
    ended_ = true;
    emit finished();
}

// The entry on screen.
QString StaffRollWindow::markedText() const
{
    return lw::markedText(headingLabel) + QLatin1Char(' ') + lw::markedText(creditLabel);
}

} // namespace lw
