// The game's eight pieces of music, as written scores.
#pragma once

#include "Score.h"

#include <vector>

namespace lw::musicgen {

// In the order the player first hears them: logo, title, the story's pieces, the ending.
const std::vector<Piece>& allPieces();

} // namespace lw::musicgen
