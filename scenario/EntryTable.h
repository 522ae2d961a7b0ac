// How each scene opens: its music cue, if any, and its first line.
#pragma once

#include "StoryTypes.h"

namespace lw::story {

// Music files, letter case as the game passes them: "Tinwaki.mid" and "tinwaki.mid" are one file.
inline constexpr std::string_view kOkera = "okera.mid";
inline constexpr std::string_view kYoseiden = "yoseiden.mid";
inline constexpr std::string_view kLitldrm = "Litldrm.mid";
inline constexpr std::string_view kShowt = "Showt.mid";
inline constexpr std::string_view kTinwakiUpper = "Tinwaki.mid";
inline constexpr std::string_view kTinwakiLower = "tinwaki.mid";
inline constexpr std::string_view kSizuku = "Sizuku.mid"; // started by Look at 342, not by an entry

inline constexpr std::string_view kNoMusic = {};

// clang-format off
inline constexpr EntryRow kEntryTable[] = {
    {10, kOkera, {kNarration, "人間界でいま話題の映画、「楢山女子高」。"}},
    {20, kNoMusic, {kNarration, "楢山のふもとに建つ、古い木造の女子高校。そこで過ごす少女たちの、静かな一年を描いた物語である。"}},
    {30, kYoseiden, {kNarration, "「楢山女子高」……ならやまじょしこう、と読むのかしら。ずいぶん地味な題名ね。"}},
    {40, kNoMusic, {kPrim, "ルネッタ、いるー？　あたしだよ、プリム！　開けて開けて！"}},
    {50, kNoMusic, {kPrim, "見て見て！　人間界の雑誌、手に入れちゃった。表紙はあのこまちちゃんだよ！"}},
    {60, kNoMusic, {kPrim, "失礼しまーす！　……あれ、誰もいないよ？　教授ー？"}},
    {70, kNoMusic, {kJupiterBack, "ようこそ、あなたたち。お待ちしていましたわ、おほほ。"}},
    {80, kNoMusic, {kRunetta, "あら、この子……こまちさんじゃないかしら。さっきの雑誌の表紙の。"}},
    {90, kNoMusic, {kPrim, "わっ！　な、なにこれ！？　こまちちゃんの周り、キラキラしてる！"}},
    {100, kNoMusic, {kJupiter, "ええ、笑いごとではありませんの。妖精なら何度唱えても平気ですけれど、人間は自分の命の力で代償を払うのよ。七度目には命が尽きますわ。"}},
    {110, kNoMusic, {kPrim, "作戦会議にはやっぱりこれ！　さっきの月のしずくクッキー、まだこんなに残ってるよ。"}},
    {150, kLitldrm, {kNarration, "翌朝の渋谷。ハチ公の前で待っているけれど、プリムは一向に現れない。"}},
    {160, kNoMusic, {kNarration, "ぶらぶら歩いていたら、大きな看板が目に入った。映画「楢山女子高」、大ヒット上映中。"}},
    {170, kOkera, {kNarration, "スクリーンに、セーラー服のこまちが映し出された。桜の木の下で、少し恥ずかしそうに笑っている。"}},
    {180, kNoMusic, {kNarration, "共演は雛鳥ゆかり。眼鏡の奥の落ち着いた笑顔が、物語をやさしく支えている。"}},
    {190, kNoMusic, {kNarration, "「完」の文字が浮かび、客席に明かりが戻った。あちこちから、すすり泣きが聞こえる。"}},
    {200, kShowt, {kNarration, "ハチ公の前に戻ってきた。……なのに、プリムはまだ来ていない。"}},
    {210, kNoMusic, {kPrim, "おっまたせー！　ごめんごめん、服を選んでたら遅くなっちゃった！"}},
    {220, kNoMusic, {kRunetta, "かくかくしかじか、というわけなのよ。"}},
    {240, kNoMusic, {kRunetta, "どうして私まで着替えなくちゃいけないのよ……。このピンクのフリフリ、恥ずかしすぎるわ。"}},
    {250, kNoMusic, {kPrim, "さあ、センター街を歩こう！　その社長さん、このあたりによく現れるんだって。"}},
    {260, kTinwakiUpper, {kMan, "ちょっとちょっと、そこのキミたち！　テレビに出てみない？"}},
    {270, kNoMusic, {kTanigawa, "さあ着いたよ！　ここが我が谷川プロダクションの新社屋だ。いいだろう、キミ！"}},
    {280, kNoMusic, {kRunetta, "中もきれいね。壁じゅうに、所属タレントのポスターが貼ってあるわ。"}},
    {290, kNoMusic, {kTrainee, "おはようございます！　新しく入る方ですか？"}},
    {300, kNoMusic, {kRunetta, "あら、あの人……映画に出ていた雛鳥ゆかりさんじゃないかしら。"}},
    {310, kNoMusic, {kRunetta, "帽子にサングラス……でもわかるわ。あれは、こまちさんよ！"}},
    {320, kNoMusic, {kTanigawa, "こまちに会いたい？　いいよいいよ、キミたちなら特別だ！　控え室は奥だよキミ。"}},
    {330, kNoMusic, {kKomachi, "きゃっ……！　ど、どなたですか……？"}},
    {340, kNoMusic, {kPrim, "ねえルネッタ、机の上に日記があるよ。"}},
    {350, kNoMusic, {kRunetta, "――魂よ、戻れ。……こまちさん、よく聞いて。あの呪文は、人間が唱えると命を削るの。七回目には命が尽きるわ。もう二度と使ってはだめよ。"}},
    {360, kNoMusic, {kKomachi, "そんな……。じゃあ私、あと一回使っていたら……。"}},
    {370, kNoMusic, {kKomachi, "浅間望くんです。同じクラスで、劇団で役者をしている人。……私の、好きな人です。"}},
    {380, kNoMusic, {kKomachi, "望くんには、魔法なんかじゃなくて、本当の私を好きになってほしかったから……。"}},
    {390, kNoMusic, {kPrim, "小さくなーれ、小さくなーれ！　えいっ！"}},
    {400, kNoMusic, {kAsama, "こまち、いる？　浅間だけど、入ってもいいかな。"}},
    {410, kNoMusic, {kKomachi, "あ、あのね、望くん。今日は、聞いてほしいことがあるの。"}},
    {420, kNoMusic, {kKomachi, "私、望くんのことが好き。一緒のクラスになったときから、ずっと。"}},
    {430, kNoMusic, {kRunetta, "見て、プリム……浅間さん、こまちさんの手を握ったわ……！"}},
    {440, kNoMusic, {kRunetta, "二人に、ほんの小さな祝福を。――光よ、そっと降りそそげ。"}},
    {500, kYoseiden, {kPrim, "ただいま戻りましたー！　教授、きらめきの呪文、ちゃんと取り返してきたよ！　……あれ、また誰もいない？"}},
    {510, kNoMusic, {kJupiter, "おほほ、お帰りなさい！　呪文は確かに受け取りましたわ。よくやりましたわね、あなたたち。さすがはわたくしの見込んだ学生ね！"}},
    {550, kTinwakiLower, {kRunetta, "それからしばらくして。プリムは、あのとき谷川さんにもらったスカウトの話を受けた。"}},
    {560, kNoMusic, {kRunetta, "私はというと、念願の研究員になれた。……なれたのだけれど。"}},
};
// clang-format on

} // namespace lw::story
