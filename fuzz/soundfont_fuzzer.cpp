// Fuzz target: SoundFont bytes read as the engine reads a font (LW_SOUNDFONT may name any file),
// then cut down to what a piece plays; the cut font must read back as a well-formed SoundFont.
#include "FuzzSupport.h"

#include "SoundFontSubset.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

using lw::audio::SoundFontLayout;

std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

// Records in one table of the cut font's preset data.
std::size_t records(const std::vector<std::uint8_t>& pdta, const char* id, std::size_t record)
{
    for (std::size_t at = 12; at + 8 <= pdta.size(); at += 8 + le32(pdta.data() + at + 4)) {
        if (std::memcmp(pdta.data() + at, id, 4) == 0)
            return le32(pdta.data() + at + 4) / record;
    }
    return 0;
}

struct File {
    std::FILE* f;
    File(const void* data, std::size_t size) : f(size ? fmemopen(const_cast<void*>(data), size, "rb") : nullptr) {}
    ~File()
    {
        if (f)
            std::fclose(f);
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const File source(data, size);
    if (!source.f)
        return 0;
    const auto layout = SoundFontLayout::read(source.f, "fuzz.sf2");
    if (!layout)
        return 0;
    LW_FUZZ_CHECK(layout->presetCount() >= 2);

    // What a piece may ask for: some melodic programs, a bank that needs its fallback, the drums,
    // each with notes across the keyboard at three velocities.
    SoundFontLayout::Notes notes;
    for (int key = 0; key < 128; key += 5)
        for (int velocity : {1, 64, 127})
            notes.insert(SoundFontLayout::note(key, velocity));
    std::vector<std::pair<int, SoundFontLayout::Notes>> wanted;
    for (const auto& [bank, program] : {std::pair{0, 0}, {0, 1}, {0, 48}, {8, 4}, {128, 0}, {128, 25}}) {
        const int preset = layout->findPreset(bank, program);
        LW_FUZZ_CHECK(preset >= -1 && preset + 1 < static_cast<int>(layout->presetCount()));
        if (preset >= 0) {
            layout->samplesOf(preset);
            wanted.emplace_back(preset, notes);
        }
    }

    const auto image = layout->cut(wanted);
    LW_FUZZ_CHECK(image && image->size() == image->head.size() + image->sampleChunkSize + image->presetData.size());
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(image->size()));
    LW_FUZZ_CHECK(image->read(0, bytes.data(), bytes.size(), source.f));
    LW_FUZZ_CHECK(!image->read(image->size(), bytes.data(), 1, source.f));

    // A cut with at least one preset and one instrument is itself a font the engine can read,
    // with no sample that the original's presets could not play.
    if (records(image->presetData, "phdr", 38) < 2 || records(image->presetData, "inst", 22) < 2)
        return 0;
    const File cutFile(bytes.data(), bytes.size());
    const auto cut = SoundFontLayout::read(cutFile.f, "fuzz.sf2");
    LW_FUZZ_CHECK(cut.has_value());
    for (int p = 0; p + 1 < static_cast<int>(cut->presetCount()); ++p) {
        const int original = layout->findPreset(cut->presetBank(p), cut->presetProgram(p));
        LW_FUZZ_CHECK(original >= 0);
        for (int sample : cut->samplesOf(p))
            LW_FUZZ_CHECK(layout->samplesOf(original).count(sample) == 1);
    }
    return 0;
}
