// The story states the game uses, written out by hand so tests do not take them from the tables.
#pragma once

#include <set>

namespace lw::test {

inline std::set<int> storyStates()
{
    std::set<int> s{10, 20, 21, 22, 23, 25, 30, 31, 32, 33, 40, 41, 50, 52, 54, 55, 56, 57, 58, 59, 60};
    auto range = [&s](int first, int last) {
        for (int i = first; i <= last; ++i)
            s.insert(i);
    };
    range(70, 77);
    range(80, 87);
    range(90, 97);
    range(100, 105);
    range(110, 117);
    s.insert({150, 151, 152, 160, 161, 170, 171, 180, 190, 191, 192, 200, 201});
    range(210, 215);
    range(220, 224);
    range(240, 244);
    s.insert({250, 251});
    range(260, 265);
    s.insert({270, 271, 280, 281});
    range(290, 294);
    range(300, 303);
    s.insert({310, 311, 320});
    range(330, 335);
    range(340, 345);
    s.insert({350, 351, 352, 360, 362});
    range(370, 373);
    range(380, 385);
    s.insert({390, 391, 392, 400, 401, 402, 410, 411});
    range(420, 428);
    s.insert({430, 431, 432, 440, 441, 442, 500, 501});
    range(510, 516);
    range(550, 553);
    s.insert({560, 561, 562, 565});
    return s;
}

} // namespace lw::test
