// The shapes of the story tables, the cast's speaker strings and the game's fixed answers.
#pragma once

#include <optional>
#include <string_view>

namespace lw::story {

// Speaker strings exactly as the message window prints them between 【】.
inline constexpr std::string_view kNarration = ""; // narration, or the heroine's unspoken thoughts
inline constexpr std::string_view kRunetta = "ルネッタ";
inline constexpr std::string_view kPrim = "プリム";
inline constexpr std::string_view kJupiter = "ジュピター教授";
// The professor seen from behind, at the first meeting only.
inline constexpr std::string_view kJupiterBack = "ジュピター教授（後）";
inline constexpr std::string_view kDoor = "ドア";
inline constexpr std::string_view kMan = "男"; // the agency head before he gives his name
inline constexpr std::string_view kTanigawa = "谷川";
inline constexpr std::string_view kTrainee = "女優の卵"; // なすの before she gives her name
inline constexpr std::string_view kNasuno = "なすの";
inline constexpr std::string_view kKomachi = "こまち";
inline constexpr std::string_view kKomachiPrim = "こまち（実はプリム）"; // プリム speaking through こまち
inline constexpr std::string_view kAsama = "浅間";

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
    "今はイントロダクションだから、一番右の「次へ」アイコンを選択してね。";
inline constexpr std::string_view kNextHint = "もう少し、いろいろ試してから先に進みましょう。";
inline constexpr std::string_view kLookDefault = "特に変わったものは見えないわ。";
inline constexpr std::string_view kTalkDefault = "独り言なんて言うと、変な人だと思われてしまうわ。";
inline constexpr std::string_view kThinkDefault = "ええと･･･次は何をすればいいのかしら･･･";
inline constexpr std::string_view kMagicDefault = "だめだめ。やたらと魔法は使っちゃだめなのよ。";

// The music timer that keeps the background piece repeating: started on entering this state.
inline constexpr int kMusicTimerScreen = 10;
inline constexpr int kMusicTimerIntervalMs = 600;

// The one state after which DoNext lets the window system run once (the story's last step).
inline constexpr int kLastStepScreen = 562;

} // namespace lw::story
