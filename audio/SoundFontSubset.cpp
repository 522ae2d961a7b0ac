// Reading a SoundFont's structure and cutting it down to what a piece plays.
#include "SoundFontSubset.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace lw::audio {
namespace {

constexpr int kGenKeyRange = 43;
constexpr int kGenVelocityRange = 44;
constexpr int kGenInstrument = 41;
constexpr int kGenSampleId = 53;
constexpr std::size_t kPresetRecord = 38, kBagRecord = 4, kModRecord = 10, kGenRecord = 4, kInstrumentRecord = 22,
                      kSampleRecord = 46;

std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void append16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void append32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    append16(out, value & 0xffff);
    append16(out, value >> 16);
}
void appendId(std::vector<std::uint8_t>& out, const char* id) { out.insert(out.end(), id, id + 4); }

bool readAt(std::FILE* file, std::uint64_t offset, void* out, std::size_t count)
{
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0 && std::fread(out, 1, count, file) == count;
}

// A key or velocity range of a zone, both ends included; the whole range when the zone has none.
struct Range {
    int low = 0, high = 127;
    bool holds(int v) const { return v >= low && v <= high; }
};

template <class Gen> void zoneRanges(const std::vector<Gen>& gens, int first, int last, Range& keys, Range& velocities)
{
    for (int g = first; g < last; ++g) {
        if (gens[g].oper == kGenKeyRange)
            keys = {gens[g].amount & 0xff, gens[g].amount >> 8};
        else if (gens[g].oper == kGenVelocityRange)
            velocities = {gens[g].amount & 0xff, gens[g].amount >> 8};
    }
}

// The notes of `notes` inside both ranges.
SoundFontLayout::Notes routed(const SoundFontLayout::Notes& notes, Range keys, Range velocities)
{
    SoundFontLayout::Notes out;
    for (std::uint16_t n : notes) {
        if (keys.holds(n / 128) && velocities.holds(n % 128))
            out.insert(n);
    }
    return out;
}

// Finds a gen's value in a zone, -1 when the zone has none.
template <class Gen> int zoneGen(const std::vector<Gen>& gens, int first, int last, int oper)
{
    for (int g = first; g < last; ++g) {
        if (gens[g].oper == oper)
            return gens[g].amount;
    }
    return -1;
}

// Bags must point into their gen and modulator tables in order, and each header into its bags.
template <class Header, class Bag>
bool indicesInOrder(const std::vector<Header>& headers, const std::vector<Bag>& bags, std::size_t gens,
                    std::size_t mods)
{
    for (std::size_t i = 0; i < headers.size(); ++i) {
        if (headers[i].firstBag < 0 || static_cast<std::size_t>(headers[i].firstBag) >= bags.size() ||
            (i > 0 && headers[i].firstBag < headers[i - 1].firstBag))
            return false;
    }
    for (std::size_t b = 0; b < bags.size(); ++b) {
        if (static_cast<std::size_t>(bags[b].firstGen) >= gens || static_cast<std::size_t>(bags[b].firstMod) >= mods)
            return false;
        if (b > 0 && (bags[b].firstGen < bags[b - 1].firstGen || bags[b].firstMod < bags[b - 1].firstMod))
            return false;
    }
    return true;
}

} // namespace

std::optional<SoundFontLayout> SoundFontLayout::read(const std::string& path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file)
        return std::nullopt;
    return read(file.get(), path);
}

std::optional<SoundFontLayout> SoundFontLayout::read(std::FILE* file, const std::string& path)
{
    if (!file || fseeko(file, 0, SEEK_END) != 0)
        return std::nullopt;
    const off_t length = ftello(file);
    if (length < 0)
        return std::nullopt;
    const auto fileSize = static_cast<std::uint64_t>(length);
    std::uint8_t riff[12];
    if (fileSize < 12 || !readAt(file, 0, riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "sfbk", 4) != 0)
        return std::nullopt;
    const std::uint64_t end = std::min<std::uint64_t>(fileSize, 8 + std::uint64_t{le32(riff + 4)});

    SoundFontLayout layout;
    layout.path_ = path;
    layout.head_.assign(riff, riff + 12);
    std::vector<std::uint8_t> pdta;
    bool haveInfo = false, haveSamples = false;
    for (std::uint64_t at = 12; at + 12 <= end;) {
        std::uint8_t header[12];
        if (!readAt(file, at, header, 12))
            return std::nullopt;
        const std::uint64_t size = le32(header + 4);
        const std::uint64_t whole = 8 + size + (size & 1);
        if (at + 8 + size > end)
            return std::nullopt;
        if (std::memcmp(header, "LIST", 4) == 0) {
            if (std::memcmp(header + 8, "INFO", 4) == 0 && !haveInfo && size <= kMaxInfoBytes) {
                const std::size_t old = layout.head_.size();
                layout.head_.resize(old + whole);
                if (!readAt(file, at, layout.head_.data() + old, std::min(whole, end - at)))
                    return std::nullopt;
                haveInfo = true;
            } else if (std::memcmp(header + 8, "sdta", 4) == 0 && !haveSamples) {
                layout.sampleChunkOffset_ = at;
                layout.sampleChunkSize_ = std::min(whole, end - at);
                haveSamples = true;
            } else if (std::memcmp(header + 8, "pdta", 4) == 0 && pdta.empty() && size >= 4 &&
                       size <= kMaxPresetDataBytes) {
                pdta.resize(size - 4);
                if (!readAt(file, at + 12, pdta.data(), pdta.size()))
                    return std::nullopt;
            }
        }
        at += whole;
    }
    if (!haveInfo || !haveSamples || pdta.empty())
        return std::nullopt;

    std::map<std::string, std::pair<const std::uint8_t*, std::size_t>> chunks;
    for (std::size_t at = 0; at + 8 <= pdta.size();) {
        const std::size_t size = le32(pdta.data() + at + 4);
        if (size > pdta.size() - at - 8)
            return std::nullopt;
        chunks[std::string(reinterpret_cast<const char*>(pdta.data() + at), 4)] = {pdta.data() + at + 8, size};
        at += 8 + size + (size & 1);
    }
    // Every table has at least its terminal record; the headers need one real record besides.
    const auto table = [&chunks](const char* id, std::size_t record,
                                 std::size_t least) -> std::optional<std::pair<const std::uint8_t*, std::size_t>> {
        const auto found = chunks.find(id);
        if (found == chunks.end() || found->second.second % record != 0 || found->second.second / record < least)
            return std::nullopt;
        return std::make_pair(found->second.first, found->second.second / record);
    };
    const auto phdr = table("phdr", kPresetRecord, 2), pbag = table("pbag", kBagRecord, 1),
               pmod = table("pmod", kModRecord, 1), pgen = table("pgen", kGenRecord, 1),
               inst = table("inst", kInstrumentRecord, 2), ibag = table("ibag", kBagRecord, 1),
               imod = table("imod", kModRecord, 1), igen = table("igen", kGenRecord, 1),
               shdr = table("shdr", kSampleRecord, 2);
    if (!phdr || !pbag || !pmod || !pgen || !inst || !ibag || !imod || !igen || !shdr)
        return std::nullopt;

    for (std::size_t i = 0; i < phdr->second; ++i) {
        PresetHeader h;
        std::memcpy(h.record, phdr->first + i * kPresetRecord, kPresetRecord);
        h.program = le16(h.record + 20);
        h.bank = le16(h.record + 22);
        h.firstBag = le16(h.record + 24);
        layout.presets_.push_back(h);
    }
    for (std::size_t i = 0; i < inst->second; ++i) {
        InstrumentHeader h;
        std::memcpy(h.record, inst->first + i * kInstrumentRecord, kInstrumentRecord);
        h.firstBag = le16(h.record + 20);
        layout.instruments_.push_back(h);
    }
    const auto bags = [](const std::pair<const std::uint8_t*, std::size_t>& t) {
        std::vector<Bag> out;
        for (std::size_t i = 0; i < t.second; ++i)
            out.push_back({le16(t.first + i * kBagRecord), le16(t.first + i * kBagRecord + 2)});
        return out;
    };
    const auto gens = [](const std::pair<const std::uint8_t*, std::size_t>& t) {
        std::vector<Gen> out;
        for (std::size_t i = 0; i < t.second; ++i)
            out.push_back({le16(t.first + i * kGenRecord), le16(t.first + i * kGenRecord + 2)});
        return out;
    };
    layout.presetBags_ = bags(*pbag);
    layout.instrumentBags_ = bags(*ibag);
    layout.presetGens_ = gens(*pgen);
    layout.instrumentGens_ = gens(*igen);
    layout.presetMods_.assign(pmod->first, pmod->first + pmod->second * kModRecord);
    layout.instrumentMods_.assign(imod->first, imod->first + imod->second * kModRecord);
    layout.sampleHeaders_.assign(shdr->first, shdr->first + shdr->second * kSampleRecord);

    if (!indicesInOrder(layout.presets_, layout.presetBags_, layout.presetGens_.size(), pmod->second) ||
        !indicesInOrder(layout.instruments_, layout.instrumentBags_, layout.instrumentGens_.size(), imod->second))
        return std::nullopt;
    for (const Gen& g : layout.presetGens_) {
        if (g.oper == kGenInstrument && g.amount + 1u >= layout.instruments_.size())
            return std::nullopt;
    }
    for (const Gen& g : layout.instrumentGens_) {
        if (g.oper == kGenSampleId && g.amount + 1u >= shdr->second)
            return std::nullopt;
    }
    return layout;
}

int SoundFontLayout::findPreset(int bank, int program) const
{
    const auto exact = [this](int b, int p) {
        for (std::size_t i = 0; i + 1 < presets_.size(); ++i) {
            if (presets_[i].bank == b && presets_[i].program == p)
                return static_cast<int>(i);
        }
        return -1;
    };
    int found = exact(bank, program);
    if (found < 0 && bank == 128)
        found = exact(128, 0);
    if (found < 0 && bank != 128) {
        found = exact(0, program);
        if (found < 0)
            found = exact(0, 0);
    }
    return found;
}

int SoundFontLayout::presetBank(int preset) const { return presets_.at(static_cast<std::size_t>(preset)).bank; }

int SoundFontLayout::presetProgram(int preset) const { return presets_.at(static_cast<std::size_t>(preset)).program; }

std::set<int> SoundFontLayout::samplesOf(int preset) const
{
    std::set<int> samples;
    if (preset < 0 || static_cast<std::size_t>(preset) + 1 >= presets_.size())
        return samples;
    const auto p = static_cast<std::size_t>(preset);
    for (int b = presets_[p].firstBag; b < presets_[p + 1].firstBag; ++b) {
        const int instrument =
            zoneGen(presetGens_, presetBags_[b].firstGen, presetBags_[b + 1].firstGen, kGenInstrument);
        if (instrument < 0)
            continue;
        const auto i = static_cast<std::size_t>(instrument);
        for (int z = instruments_[i].firstBag; z < instruments_[i + 1].firstBag; ++z) {
            const int sample =
                zoneGen(instrumentGens_, instrumentBags_[z].firstGen, instrumentBags_[z + 1].firstGen, kGenSampleId);
            if (sample >= 0)
                samples.insert(sample);
        }
    }
    return samples;
}

std::shared_ptr<const SoundFontLayout::Image>
SoundFontLayout::cut(const std::vector<std::pair<int, Notes>>& presets) const
{
    std::vector<std::uint8_t> phdr, pbag, pmod, pgen, inst, ibag, imod, igen;
    std::map<int, int> instrumentIndex;                 // original -> cut
    std::vector<std::pair<int, Notes>> instrumentNotes; // original index, notes routed to it

    // Copies a zone's gens and modulators and appends its bag; `remap` rewrites one gen.
    const auto copyZone = [](const std::vector<Bag>& bags, const std::vector<Gen>& gens,
                             const std::vector<std::uint8_t>& mods, int bag, std::vector<std::uint8_t>& bagOut,
                             std::vector<std::uint8_t>& genOut, std::vector<std::uint8_t>& modOut, int remapOper,
                             int remapTo) {
        append16(bagOut, static_cast<std::uint32_t>(genOut.size() / kGenRecord));
        append16(bagOut, static_cast<std::uint32_t>(modOut.size() / kModRecord));
        for (int g = bags[bag].firstGen; g < bags[bag + 1].firstGen; ++g) {
            append16(genOut, gens[g].oper);
            append16(genOut, gens[g].oper == remapOper ? static_cast<std::uint32_t>(remapTo) : gens[g].amount);
        }
        modOut.insert(modOut.end(), mods.begin() + static_cast<std::ptrdiff_t>(bags[bag].firstMod * kModRecord),
                      mods.begin() + static_cast<std::ptrdiff_t>(bags[bag + 1].firstMod * kModRecord));
    };

    for (const auto& [preset, notes] : presets) {
        if (preset < 0 || static_cast<std::size_t>(preset) + 1 >= presets_.size())
            continue;
        PresetHeader header = presets_[static_cast<std::size_t>(preset)];
        const std::size_t at = phdr.size();
        phdr.insert(phdr.end(), header.record, header.record + kPresetRecord);
        put16(phdr, at + 24, static_cast<std::uint32_t>(pbag.size() / kBagRecord));
        const int firstBag = header.firstBag, lastBag = presets_[static_cast<std::size_t>(preset) + 1].firstBag;
        for (int b = firstBag; b < lastBag; ++b) {
            const int gFirst = presetBags_[b].firstGen, gLast = presetBags_[b + 1].firstGen;
            const int instrument = zoneGen(presetGens_, gFirst, gLast, kGenInstrument);
            if (instrument < 0) {
                if (b == firstBag) // the global zone
                    copyZone(presetBags_, presetGens_, presetMods_, b, pbag, pgen, pmod, -1, 0);
                continue;
            }
            Range keys, velocities;
            zoneRanges(presetGens_, gFirst, gLast, keys, velocities);
            Notes reaching = routed(notes, keys, velocities);
            if (reaching.empty())
                continue;
            auto [slot, added] = instrumentIndex.emplace(instrument, static_cast<int>(instrumentNotes.size()));
            if (added)
                instrumentNotes.emplace_back(instrument, Notes{});
            instrumentNotes[static_cast<std::size_t>(slot->second)].second.merge(reaching);
            copyZone(presetBags_, presetGens_, presetMods_, b, pbag, pgen, pmod, kGenInstrument, slot->second);
        }
    }

    for (const auto& [instrument, notes] : instrumentNotes) {
        const InstrumentHeader& header = instruments_[static_cast<std::size_t>(instrument)];
        const std::size_t at = inst.size();
        inst.insert(inst.end(), header.record, header.record + kInstrumentRecord);
        put16(inst, at + 20, static_cast<std::uint32_t>(ibag.size() / kBagRecord));
        const int firstBag = header.firstBag, lastBag = instruments_[static_cast<std::size_t>(instrument) + 1].firstBag;
        for (int b = firstBag; b < lastBag; ++b) {
            const int gFirst = instrumentBags_[b].firstGen, gLast = instrumentBags_[b + 1].firstGen;
            if (zoneGen(instrumentGens_, gFirst, gLast, kGenSampleId) < 0) {
                if (b == firstBag)
                    copyZone(instrumentBags_, instrumentGens_, instrumentMods_, b, ibag, igen, imod, -1, 0);
                continue;
            }
            Range keys, velocities;
            zoneRanges(instrumentGens_, gFirst, gLast, keys, velocities);
            if (!routed(notes, keys, velocities).empty())
                copyZone(instrumentBags_, instrumentGens_, instrumentMods_, b, ibag, igen, imod, -1, 0);
        }
    }

    // Terminal records: each header table ends with one naming the end of its bags, each bag table
    // with one naming the end of its gens and modulators, gens and modulators with zeros.
    const auto terminate = [](std::vector<std::uint8_t>& headers, std::size_t record, const char* name,
                              std::size_t bagField, const std::vector<std::uint8_t>& bagTable) {
        const std::size_t at = headers.size();
        headers.resize(at + record, 0);
        std::memcpy(headers.data() + at, name, std::strlen(name));
        put16(headers, at + bagField, static_cast<std::uint32_t>(bagTable.size() / kBagRecord));
    };
    terminate(phdr, kPresetRecord, "EOP", 24, pbag);
    terminate(inst, kInstrumentRecord, "EOI", 20, ibag);
    append16(pbag, static_cast<std::uint32_t>(pgen.size() / kGenRecord));
    append16(pbag, static_cast<std::uint32_t>(pmod.size() / kModRecord));
    append16(ibag, static_cast<std::uint32_t>(igen.size() / kGenRecord));
    append16(ibag, static_cast<std::uint32_t>(imod.size() / kModRecord));
    pmod.resize(pmod.size() + kModRecord, 0);
    imod.resize(imod.size() + kModRecord, 0);
    pgen.resize(pgen.size() + kGenRecord, 0);
    igen.resize(igen.size() + kGenRecord, 0);

    auto image = std::make_shared<Image>();
    image->sourcePath = path_;
    image->sampleChunkOffset = sampleChunkOffset_;
    image->sampleChunkSize = sampleChunkSize_;
    std::vector<std::uint8_t>& pdta = image->presetData;
    appendId(pdta, "LIST");
    append32(pdta, 0);
    appendId(pdta, "pdta");
    const std::pair<const char*, const std::vector<std::uint8_t>*> parts[] = {
        {"phdr", &phdr}, {"pbag", &pbag}, {"pmod", &pmod}, {"pgen", &pgen},          {"inst", &inst},
        {"ibag", &ibag}, {"imod", &imod}, {"igen", &igen}, {"shdr", &sampleHeaders_}};
    for (const auto& [id, part] : parts) {
        appendId(pdta, id);
        append32(pdta, static_cast<std::uint32_t>(part->size()));
        pdta.insert(pdta.end(), part->begin(), part->end());
    }
    const auto listSize = static_cast<std::uint32_t>(pdta.size() - 8);
    pdta[4] = static_cast<std::uint8_t>(listSize);
    pdta[5] = static_cast<std::uint8_t>(listSize >> 8);
    pdta[6] = static_cast<std::uint8_t>(listSize >> 16);
    pdta[7] = static_cast<std::uint8_t>(listSize >> 24);
    image->head = head_;
    const auto riffSize = static_cast<std::uint32_t>(image->size() - 8);
    image->head[4] = static_cast<std::uint8_t>(riffSize);
    image->head[5] = static_cast<std::uint8_t>(riffSize >> 8);
    image->head[6] = static_cast<std::uint8_t>(riffSize >> 16);
    image->head[7] = static_cast<std::uint8_t>(riffSize >> 24);
    return image;
}

bool SoundFontLayout::Image::read(std::uint64_t offset, void* out, std::uint64_t count, std::FILE* source) const
{
    if (offset > size() || count > size() - offset)
        return false;
    auto* to = static_cast<std::uint8_t*>(out);
    while (count > 0) {
        std::uint64_t n = 0;
        if (offset < head.size()) {
            n = std::min<std::uint64_t>(count, head.size() - offset);
            std::memcpy(to, head.data() + offset, n);
        } else if (offset < head.size() + sampleChunkSize) {
            const std::uint64_t within = offset - head.size();
            n = std::min<std::uint64_t>(count, sampleChunkSize - within);
            if (!source || !readAt(source, sampleChunkOffset + within, to, n))
                return false;
        } else {
            const std::uint64_t within = offset - head.size() - sampleChunkSize;
            n = std::min<std::uint64_t>(count, presetData.size() - within);
            std::memcpy(to, presetData.data() + within, n);
        }
        to += n;
        offset += n;
        count -= n;
    }
    return true;
}

} // namespace lw::audio
