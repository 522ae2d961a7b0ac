// Cut SoundFonts reach the synthesizer's loader as files with names of their own; the loader's
// file callbacks (plain functions, no context) find them here. Any other name is a real file.
#include "CutFontFiles.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

namespace lw::audio {
namespace {

struct Handle {
    std::shared_ptr<const SoundFontLayout::Image> image; // null: a real file
    std::FILE* file = nullptr;                           // the real file, or the image's source
    std::uint64_t position = 0;
};

std::mutex imagesLock; // the loader opens files on the worker; names are added there too
std::map<std::string, std::shared_ptr<const SoundFontLayout::Image>> imagesByName;
unsigned namesGiven = 0;

void* openImage(const char* name) {
    auto handle = std::make_unique<Handle>();
    {
        std::lock_guard guard(imagesLock);
        if (auto found = imagesByName.find(name); found != imagesByName.end())
            handle->image = found->second;
    }
    handle->file = std::fopen(handle->image ? handle->image->sourcePath.c_str() : name, "rb");
    if (!handle->file)
        return nullptr;
    return handle.release();
}

int readImage(void* buffer, fluid_long_long_t count, void* opaque) {
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

int seekImage(void* opaque, fluid_long_long_t offset, int origin) {
    auto* handle = static_cast<Handle*>(opaque);
    if (!handle->image)
        return fseeko(handle->file, static_cast<off_t>(offset), origin) == 0 ? FLUID_OK : FLUID_FAILED;
    const auto size = static_cast<fluid_long_long_t>(handle->image->size());
    const fluid_long_long_t base = origin == SEEK_SET ? 0
                                   : origin == SEEK_CUR ? static_cast<fluid_long_long_t>(handle->position)
                                                        : size;
    if (base + offset < 0 || base + offset > size)
        return FLUID_FAILED;
    handle->position = static_cast<std::uint64_t>(base + offset);
    return FLUID_OK;
}

fluid_long_long_t tellImage(void* opaque) {
    auto* handle = static_cast<Handle*>(opaque);
    return handle->image ? static_cast<fluid_long_long_t>(handle->position) : ftello(handle->file);
}

int closeImage(void* opaque) {
    auto* handle = static_cast<Handle*>(opaque);
    std::fclose(handle->file);
    delete handle;
    return FLUID_OK;
}

} // namespace

std::string CutFonts::add(std::shared_ptr<const SoundFontLayout::Image> image) {
    std::lock_guard guard(imagesLock);
    const std::string name = "lunaweave-cut-soundfont-" + std::to_string(++namesGiven);
    imagesByName[name] = std::move(image);
    return name;
}

void CutFonts::replace(const std::string& name, std::shared_ptr<const SoundFontLayout::Image> image) {
    std::lock_guard guard(imagesLock);
    imagesByName[name] = std::move(image);
}

void CutFonts::remove(const std::string& name) {
    std::lock_guard guard(imagesLock);
    imagesByName.erase(name);
}

void CutFonts::installCallbacks(const FluidApi* fl, fluid_sfloader_t* loader) {
    fl->fluid_sfloader_set_callbacks(loader, openImage, readImage, seekImage, tellImage, closeImage);
}

} // namespace lw::audio
