// The shapes of the story tables, the cast's speaker strings and the game's fixed answers.
#pragma once

#include <optional>
#include <string_view>

namespace lw::story {

// Speaker strings exactly as the message window prints them between 【】.
inline constexpr std::string_view kNarration = ""; // narration, or the heroine's unspoken thoughts
inline constexpr std::string_view kRunetta = "ルネッタ";
inline constexpr std::string_view kPrim = "プリム";
inline constexpr std::string_view kJupiter = "ジュピター｜教授《きょうじゅ》";
// The professor seen from behind, at the first meeting only.
inline constexpr std::string_view kJupiterBack = "ジュピター｜教授《きょうじゅ》（｜後《うしろ》）";
inline constexpr std::string_view kDoor = "ドア";
inline constexpr std::string_view kMan = "｜男《おとこ》"; // the agency head before he gives his name
inline constexpr std::string_view kTanigawa = "｜谷川《たにがわ》";
inline constexpr std::string_view kTrainee = "女優《じょゆう》の卵《たまご》"; // なすの before she gives her name
inline constexpr std::string_view kNasuno = "なすの";
inline constexpr std::string_view kKomachi = "こまち";
inline constexpr std::string_view kKomachiPrim = "こまち（実《じつ》はプリム）"; // プリム speaking through こまち
inline constexpr std::string_view kAsama = "｜浅間《あさま》";

// One line for the message window. An empty text means the row shows nothing.
struct Line {
    std::string_view speaker;
    std::string_view text; // UTF-8
    constexpr bool shown() const { return !text.empty(); }
};

inline constexpr Line kNoLine{};

// One row of the Next table: a single story state.
struct NextRow {
    int screen;
    Line line;
    int next;
};

// One row of the scene entry table, keyed by the scene's entry state.
struct EntryRow {
    int screen;
    std::string_view music; // MIDI file name, letter case as given; empty: the music goes on
    Line line;
};

// Which third of the picture a Look row answers to.
enum class Column { Any, LeftOrMiddle, Right };

// One row of a command's answers: a state or a closed range of states. Carried out in the order
// music, line, icons, new state.
struct Answer {
    int first, last; // closed range; first == last for a single state
    Line line;
    std::optional<int> next; // kStays: the state stays
    Column column = Column::Any;
    std::string_view music = {}; // started before the line
    bool hidesIcons = false;     // the Look, Talk, Think and Use-magic icons go after the line
};

inline constexpr std::nullopt_t kStays = std::nullopt;

// Fixed answers of the game.
inline constexpr std::string_view kIntroductionHint =
    "今《いま》はイントロダクションだから、一番《いちばん》右《みぎ》の「次《つぎ》へ」アイコンを選択《せんたく》してね。";
inline constexpr std::string_view kNextHint = "もう少《すこ》し、いろいろ試《ため》してから先《さき》に進《すす》みましょう。";
inline constexpr std::string_view kLookDefault = "特《とく》に変《か》わったものは見《み》えないわ。";
inline constexpr std::string_view kTalkDefault = "独《ひと》り言《ごと》なんて言《い》うと、変《へん》な人《ひと》だと思《おも》われてしまうわ。";
inline constexpr std::string_view kThinkDefault = "ええと･･･次《つぎ》は何《なに》をすればいいのかしら･･･";
inline constexpr std::string_view kMagicDefault = "だめだめ。やたらと魔法《まほう》は使《つか》っちゃだめなのよ。";

// The music timer that keeps the background piece repeating: started on entering this state.
inline constexpr int kMusicTimerScreen = 10;
inline constexpr int kMusicTimerIntervalMs = 600;

// The one state after which DoNext lets the window system run once (the story's last step).
inline constexpr int kLastStepScreen = 562;

} // namespace lw::story
