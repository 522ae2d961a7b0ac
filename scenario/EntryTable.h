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
    {10, kOkera, {kNarration, "人間界《にんげんかい》でいま話題《わだい》の映画《えいが》、「楢山女子高《ならやまじょしこう》」。"}},
    {20, kNoMusic, {kNarration, "楢山《ならやま》のふもとに建《た》つ、古《ふる》い木造《もくぞう》の女子《じょし》高校《こうこう》。そこで過《す》ごす少女《しょうじょ》たちの、静《しず》かな一年《いちねん》を描《えが》いた物語《ものがたり》である。"}},
    {30, kYoseiden, {kNarration, "「楢山女子高《ならやまじょしこう》」……ならやまじょしこう、と読《よ》むのかしら。ずいぶん地味《じみ》な題名《だいめい》ね。"}},
    {40, kNoMusic, {kPrim, "ルネッタ、いるー？　あたしだよ、プリム！　開《あ》けて開《あ》けて！"}},
    {50, kNoMusic, {kPrim, "見《み》て見《み》て！　人間界《にんげんかい》の雑誌《ざっし》、手《て》に入《い》れちゃった。表紙《ひょうし》はあのこまちちゃんだよ！"}},
    {60, kNoMusic, {kPrim, "失礼《しつれい》しまーす！　……あれ、誰《だれ》もいないよ？　教授《きょうじゅ》ー？"}},
    {70, kNoMusic, {kJupiterBack, "ようこそ、あなたたち。お待《ま》ちしていましたわ、おほほ。"}},
    {80, kNoMusic, {kRunetta, "あら、この子《こ》……こまちさんじゃないかしら。さっきの雑誌《ざっし》の表紙《ひょうし》の。"}},
    {90, kNoMusic, {kPrim, "わっ！　な、なにこれ！？　こまちちゃんの周《まわ》り、キラキラしてる！"}},
    {100, kNoMusic, {kJupiter, "ええ、笑《わら》いごとではありませんの。妖精《ようせい》なら何度《なんど》唱《とな》えても平気《へいき》ですけれど、人間《にんげん》は自分《じぶん》の命《いのち》の力《ちから》で代償《だいしょう》を払《はら》うのよ。七度目《ななどめ》には命《いのち》が尽《つ》きますわ。"}},
    {110, kNoMusic, {kPrim, "作戦《さくせん》会議《かいぎ》にはこれ！　月《つき》のしずくクッキー、たっぷり持《も》ってきたよ。"}},
    {150, kLitldrm, {kNarration, "翌朝《よくあさ》の渋谷《しぶや》。ハチ公《こう》の前《まえ》で待《ま》っているけれど、プリムは一向《いっこう》に現《あらわ》れない。"}},
    {160, kNoMusic, {kNarration, "ぶらぶら歩《ある》いていたら、大《おお》きな看板《かんばん》が目《め》に入《はい》った。映画《えいが》「楢山女子高《ならやまじょしこう》」、大《だい》ヒット上映中《じょうえいちゅう》。"}},
    {170, kOkera, {kNarration, "スクリーンに、セーラー服《ふく》のこまちが映《うつ》し出《だ》された。桜《さくら》の木《き》の下《した》で、少《すこ》し恥《は》ずかしそうに笑《わら》っている。"}},
    {180, kNoMusic, {kNarration, "共演《きょうえん》は雛鳥《ひなどり》ゆかり。眼鏡《めがね》の奥《おく》の落《お》ち着《つ》いた笑顔《えがお》が、物語《ものがたり》をやさしく支《ささ》えている。"}},
    {190, kNoMusic, {kNarration, "「完《かん》」の文字《もじ》が浮《う》かび、客席《きゃくせき》に明《あ》かりが戻《もど》った。あちこちから、すすり泣《な》きが聞《き》こえる。"}},
    {200, kShowt, {kNarration, "ハチ公《こう》の前《まえ》に戻《もど》ってきた。……なのに、プリムはまだ来《き》ていない。"}},
    {210, kNoMusic, {kPrim, "おっまたせー！　ごめんごめん、服《ふく》を選《えら》んでたら遅《おそ》くなっちゃった！"}},
    {220, kNoMusic, {kRunetta, "かくかくしかじか、というわけなのよ。"}},
    {240, kNoMusic, {kRunetta, "どうして私《わたし》まで着替《きが》えなくちゃいけないのよ……。このピンクのフリフリ、恥《は》ずかしすぎるわ。"}},
    {250, kNoMusic, {kPrim, "さあ、センター街《がい》を歩《ある》こう！　スカウトの人《ひと》って、こういうところにいるんだって。"}},
    {260, kTinwakiUpper, {kMan, "ちょっとちょっと、そこのキミたち！　テレビに出《で》てみない？"}},
    {270, kNoMusic, {kTanigawa, "さあ着《つ》いたよ！　ここが我《わ》が谷川《たにがわ》プロダクションの新社屋《しんしゃおく》だ。いいだろう、キミ！"}},
    {280, kNoMusic, {kRunetta, "中《なか》もきれいね。壁《かべ》じゅうに、所属《しょぞく》タレントのポスターが貼《は》ってあるわ。"}},
    {290, kNoMusic, {kTrainee, "おはようございます！　新《あたら》しく入《はい》る方《かた》ですか？"}},
    {300, kNoMusic, {kRunetta, "あら、あの人《ひと》……映画《えいが》に出《で》ていた雛鳥《ひなどり》ゆかりさんじゃないかしら。"}},
    {310, kNoMusic, {kRunetta, "帽子《ぼうし》にサングラス……でもわかるわ。あれは、こまちさんよ！"}},
    {320, kNoMusic, {kTanigawa, "こまちに会《あ》いたい？　いいよいいよ、キミたちなら特別《とくべつ》だ！　控《ひか》え室《しつ》は奥《おく》だよキミ。"}},
    {330, kNoMusic, {kKomachi, "きゃっ……！　ど、どなたですか……？"}},
    {340, kNoMusic, {kPrim, "ねえルネッタ、机《つくえ》の上《うえ》に日記《にっき》があるよ。"}},
    {350, kNoMusic, {kRunetta, "こまちさん、よく聞《き》いて。あの呪文《じゅもん》は、人間《にんげん》が使《つか》うと命《いのち》を削《けず》るの。もう二度《にど》と使《つか》ってはだめよ。"}},
    {360, kNoMusic, {kKomachi, "そんな……。じゃあ私《わたし》、あと一回《いっかい》使《つか》っていたら……。"}},
    {370, kNoMusic, {kKomachi, "浅間《あさま》望《のぞむ》くんです。同《おな》じクラスで、劇団《げきだん》で役者《やくしゃ》をしている人《ひと》。……私《わたし》の、好《す》きな人《ひと》です。"}},
    {380, kNoMusic, {kKomachi, "望《のぞむ》くんには、魔法《まほう》なんかじゃなくて、本当《ほんとう》の私《わたし》を好《す》きになってほしかったから……。"}},
    {390, kNoMusic, {kPrim, "小《ちい》さくなーれ、小《ちい》さくなーれ！　えいっ！"}},
    {400, kNoMusic, {kAsama, "こまち、いる？　浅間《あさま》だけど、入《はい》ってもいいかな。"}},
    {410, kNoMusic, {kKomachi, "あ、あのね、望《のぞむ》くん。今日《きょう》は、聞《き》いてほしいことがあるの。"}},
    {420, kNoMusic, {kKomachi, "私《わたし》、望《のぞむ》くんのことが好《す》き。一緒《いっしょ》のクラスになったときから、ずっと。"}},
    {430, kNoMusic, {kRunetta, "（まあ……浅間《あさま》さん、こまちさんの手《て》を握《にぎ》ったわ……！）"}},
    {440, kNoMusic, {kRunetta, "（二人《ふたり》に、ほんの小《ちい》さな祝福《しゅくふく》を。――光《ひかり》よ、そっと降《ふ》りそそげ）"}},
    {500, kYoseiden, {kPrim, "ただいま戻《もど》りましたー！　きらめきの呪文《じゅもん》、ちゃんと取《と》り返《かえ》してきたよ！"}},
    {510, kNoMusic, {kJupiter, "まあまあ、よくやりましたわ、あなたたち！　さすがはわたくしの見込《みこ》んだ学生《がくせい》ね、おほほ！"}},
    {550, kTinwakiLower, {kRunetta, "それから少《すこ》しして。プリムは結局《けっきょく》、谷川《たにがわ》さんのスカウトを受《う》けることにした。"}},
    {560, kNoMusic, {kRunetta, "私《わたし》はというと、念願《ねんがん》の研究員《けんきゅういん》になれた。……なれたのだけれど。"}},
};
// clang-format on

} // namespace lw::story
