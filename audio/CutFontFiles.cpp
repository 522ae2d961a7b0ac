// Cut SoundFonts reach the synthesizer's loader as files with names of their own; the loader's
// file callbacks (plain functions, no context) find their registry through the name. Any other
// name is a real file.
#include "CutFontFiles.h"

#include <charconv>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

namespace lw::audio {
namespace {

struct Handle {
    std::shared_ptr<const SoundFontLayout::Image> image; // null: a real file
    std::FILE* file = nullptr;                           // the real file, or the image's source
    std::uint64_t position = 0;
};

// A cut font's name: this prefix, the registry's address, a slash and a number.
constexpr std::string_view kNamePrefix = "lunaweave-cut-soundfont/";

void* openImage(const char* name)
{
    auto handle = std::make_unique<Handle>();
    handle->image = CutFonts::find(name);
    handle->file = std::fopen(handle->image ? handle->image->sourcePath.c_str() : name, "rb");
    if (!handle->file)
        return nullptr;
    return handle.release();
}

int readImage(void* buffer, fluid_long_long_t count, void* opaque)
{
    auto* handle = static_cast<Handle*>(opaque);
    if (count < 0)
        return FLUID_FAILED;
    const auto n = static_cast<std::uint64_t>(count);
    if (!handle->image) {
        if (std::fread(buffer, 1, n, handle->file) != n)
            return FLUID_FAILED;
    } else if (!handle->image->read(handle->position, buffer, n, handle->file)) {
        return FLUID_FAILED;
    }
    handle->position += n;
    return FLUID_OK;
}

int seekImage(void* opaque, fluid_long_long_t offset, int origin)
{
    auto* handle = static_cast<Handle*>(opaque);
    if (!handle->image)
        return fseeko(handle->file, static_cast<off_t>(offset), origin) == 0 ? FLUID_OK : FLUID_FAILED;
    const auto size = static_cast<fluid_long_long_t>(handle->image->size());
    const fluid_long_long_t base = origin == SEEK_SET   ? 0
                                   : origin == SEEK_CUR ? static_cast<fluid_long_long_t>(handle->position)
                                                        : size;
    if (base + offset < 0 || base + offset > size)
        return FLUID_FAILED;
    handle->position = static_cast<std::uint64_t>(base + offset);
    return FLUID_OK;
}

fluid_long_long_t tellImage(void* opaque)
{
    auto* handle = static_cast<Handle*>(opaque);
    return handle->image ? static_cast<fluid_long_long_t>(handle->position) : ftello(handle->file);
}

int closeImage(void* opaque)
{
    auto* handle = static_cast<Handle*>(opaque);
    std::fclose(handle->file);
    delete handle;
    return FLUID_OK;
}

} // namespace

std::string CutFonts::add(std::shared_ptr<const SoundFontLayout::Image> image)
{
    std::lock_guard guard(lock_);
    char address[32];
    std::snprintf(address, sizeof address, "%" PRIxPTR, reinterpret_cast<std::uintptr_t>(this));
    const std::string name = std::string(kNamePrefix) + address + "/" + std::to_string(++namesGiven_);
    imagesByName_[name] = std::move(image);
    return name;
}

void CutFonts::replace(const std::string& name, std::shared_ptr<const SoundFontLayout::Image> image)
{
    std::lock_guard guard(lock_);
    imagesByName_[name] = std::move(image);
}

std::shared_ptr<const SoundFontLayout::Image> CutFonts::find(const char* name)
{
    const std::string_view text(name);
    if (!text.starts_with(kNamePrefix))
        return nullptr;
    std::uintptr_t address = 0;
    const char* digits = name + kNamePrefix.size();
    const auto [end, error] = std::from_chars(digits, name + text.size(), address, 16);
    if (error != std::errc() || end == digits || *end != '/' || address == 0)
        return nullptr;
    auto* registry = reinterpret_cast<CutFonts*>(address);
    std::lock_guard guard(registry->lock_);
    const auto found = registry->imagesByName_.find(std::string(text));
    return found == registry->imagesByName_.end() ? nullptr : found->second;
}

void CutFonts::installCallbacks(const FluidApi* fl, fluid_sfloader_t* loader)
{
    fl->fluid_sfloader_set_callbacks(loader, openImage, readImage, seekImage, tellImage, closeImage);
}

} // namespace lw::audio
