// Places the story returns to, drawn as reusable backgrounds and props at 480 × 349 pixels.
#pragma once

#include <QPainter>
#include <QPointF>
#include <QRectF>

namespace art {

class Rng;

// ルネッタ's research room at night: bookshelves, a round window with the moon, glowing flasks.
void researchRoom(QPainter& p);
// The professor's laboratory: stone arches, star charts, the crystal monitor, a telescope, flasks.
void laboratory(QPainter& p, bool monitorLit);
// The crystal monitor's ornate frame filling the picture; returns the screen area inside it.
QRectF monitorCloseUp(QPainter& p);
// Shibuya's station square: buildings with big screens, the crossing, crowds, the dog statue.
void shibuyaSquare(QPainter& p);
// A Shibuya shopping street receding to the centre, shop signs and neon; `neon` for dusk.
void shibuyaStreet(QPainter& p, bool neon);
// The agency's lobby: glossy floor, reception, posters on the wall.
void agencyLobby(QPainter& p);
// The agency's corridor in one-point perspective.
void agencyCorridor(QPainter& p);
// こまち's private dressing room: mirror with bulbs, dressing table, flowers, door on the left.
void komachiRoom(QPainter& p);
// A background painted through a closer camera: `zoom` (1 = the whole picture) centred on `focus` in the
// background's own pixels, kept inside the picture; `soften` > 1 paints it at that fraction of the
// resolution and scales it back up, a shallow focus behind a close-up.
void throughCamera(QPainter& p, void (*background)(QPainter&), QPointF focus, double zoom, double soften);
// The old wooden school at the foot of 楢山 in evening light, cherry trees.
void naraSchool(QPainter& p);

// Props.
void bookshelf(QPainter& p, const QRectF& r, unsigned seed);
void flask(QPainter& p, QPointF base, double size, const QColor& liquid);
void woodDesk(QPainter& p, const QRectF& top, double depth);
void flowerVase(QPainter& p, QPointF base, double size);
void crowd(QPainter& p, Rng& rng, double baseline, int count, double scale, double left, double right);
void cherryTree(QPainter& p, QPointF trunkBase, double size, Rng& rng);
// A magazine with こまち on the cover, axis-aligned in `r`.
void komachiMagazine(QPainter& p, const QRectF& r);
// A building face with a grid of windows, a share of them lit.
void building(QPainter& p, const QRectF& r, const QColor& wall, Rng& rng, double litShare);
void woodFloor(QPainter& p, double horizon, const QColor& light, const QColor& dark);

} // namespace art
