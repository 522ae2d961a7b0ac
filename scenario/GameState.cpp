// The game's one set of story variables.
#include "GameState.h"

namespace lw {

GameState& gameState()
{
    static GameState state;
    return state;
}

} // namespace lw
