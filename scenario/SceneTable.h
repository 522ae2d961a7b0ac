// The scene table and the staff roll's preload list: plain data, shared with the artwork tools.
#pragma once

#include <array>
#include <string_view>

namespace lw {

struct SceneRow {
    int scene;
    std::u16string_view pictureKey; // file name = key + ".LWV"
    std::u16string_view caption;    // shown as "Lunaweave　【caption】"
};

// Scenes the story enters, in ascending order. The others (0, 12-14, 23, 45-49, 52-54, 57-100)
// have no picture and no caption.
inline constexpr std::array<SceneRow, 44> kSceneTable{{
    {1, u"映画題1", u"映画「楢山女子高」"},
    {2, u"ﾅﾗﾔﾏ1", u"映画「楢山女子高」"},
    {3, u"研究室1", u"妖性大学院研究室"},
    {4, u"ﾌﾟﾘﾑ1", u"妖性大学院研究室"},
    {5, u"研究室2", u"妖性大学院研究室"},
    {6, u"ｼﾞｭﾋﾟ研1", u"妖性大学ジュピター研"},
    {7, u"ｼﾞｭﾋﾟ研2", u"妖性大学ジュピター研"},
    {8, u"ﾓﾓﾋﾟｰ1", u"ジュピター研モニター"},
    {9, u"ﾓﾓﾋﾟｰ2", u"ジュピター研モニター"},
    {10, u"ｼﾞｭﾋﾟ研2", u"妖性大学ジュピター研"},
    {11, u"研究室2", u"妖性大学院研究室"},
    {15, u"渋谷1", u"渋谷の街"},
    {16, u"看板1", u"渋谷の街"},
    {17, u"ﾅﾗﾔﾏ2", u"映画「楢山女子高」"},
    {18, u"ﾅﾗﾔﾏ3", u"映画「楢山女子高」"},
    {19, u"ﾃﾛｯﾌﾟ1", u"映画「楢山女子高」"},
    {20, u"渋谷1", u"渋谷の街"},
    {21, u"ﾌﾟﾘﾑ2", u"渋谷の街"},
    {22, u"ﾅﾗﾔﾏ1", u"渋谷の街"},
    {24, u"渋谷2", u"渋谷１０９"},
    {25, u"渋谷3", u"渋谷センター街"},
    {26, u"谷川1", u"渋谷センター街"},
    {27, u"谷川2", u"谷川プロダクション"},
    {28, u"谷川3", u"谷川プロダクション"},
    {29, u"なすの1", u"谷川プロダクション"},
    {30, u"雛鳥1", u"谷川プロダクション"},
    {31, u"こまち1", u"谷川プロダクション"},
    {32, u"谷川4", u"谷川プロダクション"},
    {33, u"こまち2", u"こまち個室"},
    {34, u"机上1", u"こまち個室"},
    {35, u"こまち3", u"こまち個室"},
    {36, u"こまち4", u"こまち個室"},
    {37, u"望2", u"こまち個室"},
    {38, u"こまち4", u"こまち個室"},
    {39, u"ﾌﾟﾘﾑ3", u"こまち個室"},
    {40, u"望1", u"こまち個室"},
    {41, u"こまち5", u"こまち個室"},
    {42, u"こまち6", u"こまち個室"},
    {43, u"こまち7", u"こまち個室"},
    {44, u"ﾙﾈｯﾀ1", u"こまち個室"},
    {50, u"ｼﾞｭﾋﾟ研1", u"妖性大学ジュピター研"},
    {51, u"ｼﾞｭﾋﾟ研2", u"妖性大学ジュピター研"},
    {55, u"ﾌﾟﾘﾑ4", u"歌番組「ＨＯＹ・ＨＯＹ・ＨＯＹ」"},
    {56, u"ﾙﾈｯﾀ2", u"妖性大学教頭室"},
}};

// The pictures the staff roll shows, in loading order: picture i goes into the roll's cache holder i.
inline constexpr int kRollPictures = 21;
inline constexpr std::array<std::u16string_view, kRollPictures> kRollPictureKeys{{
    u"ﾙﾈｯﾀ2",   u"研究室1", u"ﾌﾟﾘﾑ1", u"ｼﾞｭﾋﾟ研2", u"ﾓﾓﾋﾟｰ1", u"雛鳥1",   u"ﾅﾗﾔﾏ3",
    u"なすの1", u"谷川4",   u"望2",   u"渋谷1",    u"ﾅﾗﾔﾏ2",  u"看板1",   u"谷川1",
    u"ﾌﾟﾘﾑ4",   u"映画題1", u"谷川3", u"ｼﾞｭﾋﾟ研1", u"ﾅﾗﾔﾏ1",  u"こまち2", u"研究室2",
}};

// Appended to a picture key to make the picture's file name.
inline constexpr std::u16string_view kPictureExt = u".LWV";

} // namespace lw
