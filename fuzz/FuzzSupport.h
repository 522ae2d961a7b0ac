// Shared set-up of the fuzz targets: one Qt application per process, a scratch folder, checks.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

// A broken promise of the code under test: report it and abort, so libFuzzer keeps the input.
#define LW_FUZZ_CHECK(condition)                                                                                       \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

namespace lw::fuzz {

// The process's Qt application, made on first call. Image readers are plugins found through it,
// and QStandardPaths and QSettings expect one. Anything the caller must set in the environment
// (XDG folders) has to be set before the first call.
inline QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "lw_fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QCoreApplication app(argc, argv);
    return app;
}

// A folder removed at exit; the same one for the whole run.
inline const QTemporaryDir& scratchDir()
{
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/lw_fuzz-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot make a scratch folder under %s\n", qPrintable(QDir::tempPath()));
        std::abort();
    }
    return dir;
}

// Reads fuzzer bytes front to back; past the end every read gives zero or an empty piece, so a
// short input is still a whole, valid script.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return empty() ? 0 : data_[pos_++]; }
    // The next `count` bytes, fewer at the end.
    std::string_view take(std::size_t count)
    {
        const std::size_t n = count < size_ - pos_ ? count : size_ - pos_;
        const std::string_view piece(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return piece;
    }
    std::string_view rest() { return take(size_ - pos_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace lw::fuzz
