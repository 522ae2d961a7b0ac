// Only what a piece plays: the SoundFont cut down to the presets the piece selects and, of their
// instruments, the zones its notes sound. The cut font shares the original file's sample data
// chunk byte for byte, so the synthesizer reads just the samples of those zones from the
// original file, and its own description of the font stays small.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace lw::audio {

// The structure of a SoundFont 2 file (SoundFont 3 files have the same structure): where its
// sample data lies, and its preset and instrument tables, read once.
class SoundFontLayout {
public:
    // Nothing when the file cannot be read or is not a well-formed SoundFont. Safe on any bytes:
    // what it keeps of the file is held to kMaxInfoBytes and kMaxPresetDataBytes.
    static std::optional<SoundFontLayout> read(const std::string& path);
    // The same from an open file, read from its start; `path` is where the cut font's samples
    // will be read from.
    static std::optional<SoundFontLayout> read(std::FILE* file, const std::string& path);

    // The largest INFO list and preset data (pdta) list kept, in bytes. Real fonts have a few
    // hundred bytes of INFO and some 200 KB of preset data; the tables' 16-bit indices cannot
    // reach much beyond 8 MB of it.
    static constexpr std::uint64_t kMaxInfoBytes = 1u << 20;
    static constexpr std::uint64_t kMaxPresetDataBytes = 8u << 20;

    // The preset the synthesizer plays for a bank and program, with its fallbacks: a percussion
    // bank falls back to its program 0; a melodic bank to bank 0, then to program 0 of bank 0.
    // -1 when the font has none of them.
    int findPreset(int bank, int program) const;
    int presetBank(int preset) const;
    int presetProgram(int preset) const;
    std::size_t presetCount() const { return presets_.size(); } // the terminal record included
    // The samples (their numbers in the font) that the preset's zones can play.
    std::set<int> samplesOf(int preset) const;

    // A key and velocity that a piece sounds, packed as key * 128 + velocity.
    using Notes = std::set<std::uint16_t>;
    static std::uint16_t note(int key, int velocity) { return static_cast<std::uint16_t>(key * 128 + velocity); }

    // The cut font as a file image: the presets given (indices from findPreset), each with the
    // notes played on it (a preset with no notes keeps no instrument zone).
    struct Image;
    std::shared_ptr<const Image> cut(const std::vector<std::pair<int, Notes>>& presets) const;

    const std::string& path() const { return path_; }

private:
    struct PresetHeader {
        std::uint8_t record[38]; // as in the file; the bag index is rewritten when cut
        int program, bank, firstBag;
    };
    struct InstrumentHeader {
        std::uint8_t record[22];
        int firstBag;
    };
    struct Bag {
        int firstGen, firstMod;
    };
    struct Gen {
        std::uint16_t oper, amount;
    };

    std::string path_;
    std::vector<std::uint8_t> head_;                            // the RIFF header and the INFO list, as in the file
    std::uint64_t sampleChunkOffset_ = 0, sampleChunkSize_ = 0; // the sdta list, header included
    // Each table with its terminal record, as the file has them.
    std::vector<PresetHeader> presets_;
    std::vector<Bag> presetBags_, instrumentBags_;
    std::vector<std::uint8_t> presetMods_, instrumentMods_; // 10-byte records
    std::vector<Gen> presetGens_, instrumentGens_;
    std::vector<InstrumentHeader> instruments_;
    std::vector<std::uint8_t> sampleHeaders_; // kept whole: sample numbers stay as they are
};

struct SoundFontLayout::Image {
    std::string sourcePath;
    std::vector<std::uint8_t> head;      // RIFF header (size patched) and INFO list
    std::uint64_t sampleChunkOffset = 0; // read from the source file
    std::uint64_t sampleChunkSize = 0;
    std::vector<std::uint8_t> presetData; // the pdta list
    std::uint64_t size() const { return head.size() + sampleChunkSize + presetData.size(); }
    // Copies `count` bytes from `offset` of the image; false when they run past its end or the
    // source file cannot be read.
    bool read(std::uint64_t offset, void* out, std::uint64_t count, std::FILE* source) const;
};

} // namespace lw::audio
