// Fuzz target: reading the state number typed into the developer's screen-jump box.
#include "FuzzSupport.h"

#include "GameState.h"
#include "MessageWindow.h"
#include "SceneTable.h"

#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    lw::fuzz::application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view answer(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int16_t> state = lw::parseScreenJumpAnswer(answer);
    if (!state)
        return 0;
    // A state the box accepts is one the watcher can show, or one past the watched range.
    if (*state <= lw::kLastWatchedScreen) {
        LW_FUZZ_CHECK(*state >= 0);
        const int scene = lw::sceneOf(*state);
        bool found = false;
        for (const lw::SceneRow& row : lw::kSceneTable)
            found = found || row.scene == scene;
        LW_FUZZ_CHECK(found);
    }
    // The plain decimal spelling of an accepted state reads back as the same state.
    const std::optional<std::int16_t> again = lw::parseScreenJumpAnswer(std::to_string(*state));
    LW_FUZZ_CHECK(again && *again == *state);
    return 0;
}
