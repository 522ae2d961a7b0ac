// lw_musicgen <outdir>: writes the game's music files and the closing chime into <outdir>.
#include "Chime.h"
#include "Pieces.h"
#include "Score.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    using namespace lw::musicgen;
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <outdir>\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        for (const Piece& piece : allPieces()) {
            const std::string path = dir + std::string(piece.file);
            if (!writeSmf(path, kTicksPerQuarter, renderPiece(piece))) {
                std::fprintf(stderr, "lw_musicgen: cannot write %s\n", path.c_str());
                return 1;
            }
        }
        const std::string wave = dir + "lwdemo2.WAV";
        if (!writeFile(wave, encodeWave(chimeSamples(), kChimeSampleRate))) {
            std::fprintf(stderr, "lw_musicgen: cannot write %s\n", wave.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lw_musicgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
