// The cut SoundFonts the engine makes for each piece, offered to FluidSynth's loader as files.
#pragma once

#include "AudioBackend.h"
#include "SoundFontSubset.h"

#include <memory>
#include <string>

namespace lw::audio {

class CutFonts {
public:
    // Registers an image under a new name that the loader can open; returns the name.
    static std::string add(std::shared_ptr<const SoundFontLayout::Image> image);
    static void replace(const std::string& name, std::shared_ptr<const SoundFontLayout::Image> image);
    static void remove(const std::string& name);
    // Lets `loader` open the registered names (any other name is a real file).
    static void installCallbacks(const FluidApi* fl, fluid_sfloader_t* loader);
};

} // namespace lw::audio
