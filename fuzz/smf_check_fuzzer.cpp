// Fuzz target: the strict standard MIDI file checker on any bytes.
#include "FuzzSupport.h"

#include "SmfCheck.h"

#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly `size` bytes, so any read past the end is caught.
    const std::vector<std::uint8_t> bytes(data, data + size);
    lw::audio::SmfInfo info;
    const lw::audio::SmfResult result = lw::audio::checkSmf(bytes.data(), bytes.size(), &info);
    if (result != lw::audio::SmfResult::Ok)
        return 0;
    LW_FUZZ_CHECK(info.format == 0 || info.format == 1);
    LW_FUZZ_CHECK(info.tracks >= 1 && info.tracks <= lw::audio::kMaxSmfTracks);
    LW_FUZZ_CHECK(info.format == 1 || info.tracks == 1);
    LW_FUZZ_CHECK(info.division > 0 && info.division < 0x8000);
    LW_FUZZ_CHECK(info.endTick >= 0 && info.endTick <= 0x7fffffff);
    LW_FUZZ_CHECK(info.length >= 22 && info.length <= size);
    // The checked part alone is the same piece.
    lw::audio::SmfInfo again;
    const std::vector<std::uint8_t> piece(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(info.length));
    LW_FUZZ_CHECK(lw::audio::checkSmf(piece.data(), piece.size(), &again) == lw::audio::SmfResult::Ok);
    LW_FUZZ_CHECK(again.length == info.length && again.endTick == info.endTick && again.tracks == info.tracks);
    return 0;
}
