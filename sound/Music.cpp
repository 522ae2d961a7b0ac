// The music module over the MIDI command-string service.
#include "Music.h"

#include <cctype>
#include <filesystem>

namespace lw {
namespace {

// Answer buffer lengths, in characters, for each kind of command.
constexpr int kAnswerLength = 512;
constexpr int kCloseAnswerLength = 1;
constexpr int kPositionAnswerLength = 255;
constexpr std::uintptr_t kNoCallbackWindow = 0;

std::string processDirectory()
{
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::current_path(error);
    return error ? std::string() : dir.string();
}

// The leading decimal number of `text`, 0 when there is none: blanks before it are skipped and
// the parse stops at the first character that cannot continue the number.
double leadingNumber(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isdigit(c)) {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    try {
        return std::stod(text.substr(start, i - start));
    } catch (...) {
        return 0;
    }
}

} // namespace

Music::Music(MidiService& service, std::function<std::string()> currentDirectory)
    : service_(service), currentDirectory_(currentDirectory ? std::move(currentDirectory) : processDirectory)
{
}

void Music::play(const std::string& fileName)
{
    // The separator is always added, so a directory that already ends in one gives two in a row;
    // the path is quoted so that blanks in it survive the command parser.
    const std::string fullName = "\"" + currentDirectory_() + "/" + fileName + "\"";
    close();
    std::string answer;
    service_.sendString("open " + fullName + " type sequencer alias Midi", &answer, kAnswerLength, kNoCallbackWindow);
    // Played whether or not the open worked: a failed open leaves nothing under the alias and the
    // play fails unseen.
    service_.sendString("play Midi", &answer, kAnswerLength, kNoCallbackWindow);
}

void Music::close()
{
    std::string answer;
    service_.sendString("close Midi", &answer, kCloseAnswerLength, kNoCallbackWindow);
}

bool Music::isPlaying()
{
    std::string answer;
    service_.sendString("Status Midi mode", &answer, kAnswerLength, kNoCallbackWindow);
    // "playing" and "paused" both start with P; a failed query leaves the answer empty.
    return !answer.empty() && std::toupper(static_cast<unsigned char>(answer[0])) == 'P';
}

void Music::loop()
{
    if (!isPlaying())
        play(backgroundPiece);
}

double Music::position()
{
    std::string answer;
    if (service_.sendString("Status Midi Position", &answer, kPositionAnswerLength, kNoCallbackWindow) != 0)
        return 0;
    return leadingNumber(answer);
}

} // namespace lw
