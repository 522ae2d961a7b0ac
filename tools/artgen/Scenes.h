// The 37 scene pictures, one painter per picture key.
#pragma once

#include <QImage>
#include <string_view>

namespace art {

// The picture for `key` at 480 × 349 pixels times `density` (1 or 2), drawn from the same shapes at
// every density; a null image when no painter knows the key.
QImage drawScene(std::u16string_view key, int density = 1);

} // namespace art
