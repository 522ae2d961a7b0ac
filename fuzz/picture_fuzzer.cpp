// Fuzz target: decoding picture files of any format from memory.
#include "FuzzSupport.h"

#include "PictureLoader.h"

namespace {

// Counters libFuzzer reads as extra coverage (this section name is its convention).
__attribute__((used, section("__libfuzzer_extra_counters"))) std::uint8_t pictureKinds[QImage::NImageFormats * 16];

int sizeClass(int side) { return side < 2 ? 0 : side < 64 ? 1 : side < 1024 ? 2 : 3; }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    lw::fuzz::application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const lw::Picture picture = lw::decodePicture(bytes);
    if (picture.error == lw::PictureError::None) {
        LW_FUZZ_CHECK(!picture.image.isNull());
        LW_FUZZ_CHECK(picture.image.width() <= lw::kMaxPictureSide);
        LW_FUZZ_CHECK(picture.image.height() <= lw::kMaxPictureSide);
        // Qt's decoders carry no coverage counters; one counter per kind of result (format and
        // size class) lets the fuzzer keep inputs that decode to a new kind of picture.
        const int format = picture.image.format();
        LW_FUZZ_CHECK(format > QImage::Format_Invalid && format < QImage::NImageFormats);
        ++pictureKinds[(format * 4 + sizeClass(picture.image.width())) * 4 + sizeClass(picture.image.height())];
        // Touch every scan line, as painting the picture would.
        volatile std::uint8_t sink = 0;
        for (int y = 0; y < picture.image.height(); ++y)
            sink = sink ^ picture.image.constScanLine(y)[picture.image.bytesPerLine() - 1];
    } else {
        LW_FUZZ_CHECK(picture.error == lw::PictureError::Invalid);
        LW_FUZZ_CHECK(picture.image.isNull());
    }
    return 0;
}
