// The cut SoundFonts the engine makes for each piece, offered to FluidSynth's loader as files.
#pragma once

#include "AudioBackend.h"
#include "SoundFontSubset.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace lw::audio {

// The cut fonts of one engine, each under a name that its loader opens. The loader's file
// callbacks are plain functions without context, so each name carries the address of the
// registry that gave it; the registry must outlive every synthesizer that may open its names.
class CutFonts {
public:
    CutFonts() = default;
    CutFonts(const CutFonts&) = delete;
    CutFonts& operator=(const CutFonts&) = delete;

    // Registers an image under a new name that the loader can open; returns the name.
    std::string add(std::shared_ptr<const SoundFontLayout::Image> image);
    void replace(const std::string& name, std::shared_ptr<const SoundFontLayout::Image> image);
    // Lets `loader` open the names of any registry (any other name is a real file).
    static void installCallbacks(const FluidApi* fl, fluid_sfloader_t* loader);

    // The image registered under `name`, null when none is (for the loader's callbacks).
    static std::shared_ptr<const SoundFontLayout::Image> find(const char* name);

private:
    std::mutex lock_; // names are added on the worker; the loader may open them on any thread
    std::map<std::string, std::shared_ptr<const SoundFontLayout::Image>> imagesByName_;
    unsigned namesGiven_ = 0;
};

} // namespace lw::audio
