// A SoundFont 2 file made byte by byte, for tests that need a real synthesizer but no installed font.
#pragma once

#include "SmfBuilder.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace lw::testing {

// A SoundFont 2 file made byte by byte: one sample per entry of `sampleKeys`, an instrument
// whose zone i plays sample i over the key range sampleKeys[i], and presets 0:0 (that
// instrument) and 0:5 (a second instrument on sample 0 alone).
inline Bytes tinySoundFont(const std::vector<std::pair<int, int>>& sampleKeys)
{
    const auto chunk = [](const char* id, const Bytes& body) {
        Bytes out(id, id + 4);
        appendLe(out, static_cast<std::uint32_t>(body.size()), 4);
        out.insert(out.end(), body.begin(), body.end());
        return out;
    };
    const auto list = [&chunk](const char* type, const std::vector<Bytes>& parts) {
        Bytes body(type, type + 4);
        for (const Bytes& p : parts)
            body.insert(body.end(), p.begin(), p.end());
        return chunk("LIST", body);
    };
    const auto name = [](Bytes& out, const char* text, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            out.push_back(static_cast<std::uint8_t>(i < std::strlen(text) ? text[i] : 0));
    };
    constexpr int kFrames = 100; // each sample, followed by the 46 zero frames the format asks for
    Bytes samples;
    Bytes shdr;
    for (std::size_t i = 0; i < sampleKeys.size(); ++i) {
        for (int f = 0; f < kFrames + 46; ++f)
            appendLe(samples, f < kFrames ? static_cast<std::uint32_t>((f % 20) * 1000) : 0, 2);
        name(shdr, ("s" + std::to_string(i)).c_str(), 20);
        const auto start = static_cast<std::uint32_t>(i * (kFrames + 46));
        for (std::uint32_t v : {start, start + kFrames, start + 10, start + 90, 44100u})
            appendLe(shdr, v, 4);
        append(shdr, {60, 0});
        appendLe(shdr, 0, 2);
        appendLe(shdr, 1, 2); // mono
    }
    name(shdr, "EOS", 46);

    Bytes phdr, pbag, pgen, inst, ibag, igen;
    const auto preset = [&](const char* n, int program, int instrument) {
        name(phdr, n, 20);
        appendLe(phdr, static_cast<std::uint32_t>(program), 2);
        appendLe(phdr, 0, 2);
        appendLe(phdr, static_cast<std::uint32_t>(pbag.size() / 4), 2);
        appendLe(phdr, 0, 4);
        appendLe(phdr, 0, 4);
        appendLe(phdr, 0, 4);
        appendLe(pbag, static_cast<std::uint32_t>(pgen.size() / 4), 2);
        appendLe(pbag, 0, 2);
        append(pgen, {41, 0});
        appendLe(pgen, static_cast<std::uint32_t>(instrument), 2);
    };
    preset("all", 0, 0);
    preset("first", 5, 1);
    name(phdr, "EOP", 20);
    appendLe(phdr, 0, 4);
    appendLe(phdr, static_cast<std::uint32_t>(pbag.size() / 4), 2);
    appendLe(phdr, 0, 12);
    appendLe(pbag, static_cast<std::uint32_t>(pgen.size() / 4), 2);
    appendLe(pbag, 0, 2);
    appendLe(pgen, 0, 4);

    const auto instrument = [&](const char* n, const std::vector<int>& samplesOfZones) {
        name(inst, n, 20);
        appendLe(inst, static_cast<std::uint32_t>(ibag.size() / 4), 2);
        for (int sample : samplesOfZones) {
            appendLe(ibag, static_cast<std::uint32_t>(igen.size() / 4), 2);
            appendLe(ibag, 0, 2);
            append(igen, {43, 0, sampleKeys[static_cast<std::size_t>(sample)].first,
                          sampleKeys[static_cast<std::size_t>(sample)].second});
            append(igen, {53, 0});
            appendLe(igen, static_cast<std::uint32_t>(sample), 2);
        }
    };
    std::vector<int> every;
    for (std::size_t i = 0; i < sampleKeys.size(); ++i)
        every.push_back(static_cast<int>(i));
    instrument("every", every);
    instrument("one", {0});
    name(inst, "EOI", 20);
    appendLe(inst, static_cast<std::uint32_t>(ibag.size() / 4), 2);
    appendLe(ibag, static_cast<std::uint32_t>(igen.size() / 4), 2);
    appendLe(ibag, 0, 2);
    appendLe(igen, 0, 4);

    Bytes ifil;
    appendLe(ifil, 2, 2);
    appendLe(ifil, 1, 2);
    const Bytes zeroMod(10, 0);
    Bytes riff{'R', 'I', 'F', 'F'};
    Bytes content{'s', 'f', 'b', 'k'};
    for (const Bytes& part : {list("INFO", {chunk("ifil", ifil), chunk("INAM", Bytes{'t', 'i', 'n', 'y', 0, 0})}),
                              list("sdta", {chunk("smpl", samples)}),
                              list("pdta", {chunk("phdr", phdr), chunk("pbag", pbag), chunk("pmod", zeroMod),
                                            chunk("pgen", pgen), chunk("inst", inst), chunk("ibag", ibag),
                                            chunk("imod", zeroMod), chunk("igen", igen), chunk("shdr", shdr)})})
        content.insert(content.end(), part.begin(), part.end());
    appendLe(riff, static_cast<std::uint32_t>(content.size()), 4);
    riff.insert(riff.end(), content.begin(), content.end());
    return riff;
}

} // namespace lw::testing
