// The cast as parameterised anime-style figures: one look per character, poses and expressions per scene.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>

namespace art {

enum class HairStyle { LongBraid, BobRibbon, HighBun, HimeCut, ShortGlasses, NeatBoy, SlickedBack, TwinTails };
enum class Outfit {
    UniversityCape, // navy cape, white blouse, lavender skirt
    Cardigan,       // yellow cardigan, green skirt
    PinkDress,      // frilly pink dress with white collar
    RedDress,       // red mini dress
    Idol,           // white and red stage costume with sequins
    LabCoat,        // white coat over a midnight-blue robe with gold stars
    CasualCardigan, // white blouse, pink cardigan, navy skirt
    Sailor,         // navy sailor uniform with red scarf
    BeigeCoat,
    Blazer,      // navy school blazer, grey tie
    PurpleSuit,  // loud purple suit, yellow tie
    TrackJacket, // purple track jacket
};
enum class Wings { None, Crystal, Butterfly };
enum class Pose {
    ArmsDown,
    Wave,        // right arm raised (viewer's left stays down)
    HoldFront,   // both hands in front of the chest, holding something
    Clasped,     // hands clasped under the chin
    Cast,        // right arm raised forward with a wand
    HandsToFace, // hands at the cheeks
    Mic,         // right hand holding a microphone at the mouth
    ThumbsUp,
    Write,    // right hand forward at desk height
    ArmsOpen, // both arms out, presenting
    HoldHand, // the arm on the side the face turns to reaching out low, to take another's hand
};
enum class Eyes { Open, Closed, Wide, Gentle, Teary };
enum class Mouth { Smile, Open, Small, Grin, Worried, Sing };

struct Figure {
    // Look: fixed per character.
    HairStyle hair = HairStyle::LongBraid;
    QColor hairColour;
    QColor eyeColour;
    QColor skin = QColor(0xff, 0xe4, 0xd2);
    Outfit outfit = Outfit::UniversityCape;
    Wings wings = Wings::None;
    bool male = false;
    bool glasses = false;     // round glasses
    bool goldGlasses = false; // gold rims instead of dark
    bool freckles = false;
    bool moustache = false;
    bool redHairpin = false;
    double height = 1.0; // 1 = an average girl of the cast
    // Per picture.
    Pose pose = Pose::ArmsDown;
    Eyes eyes = Eyes::Open;
    Mouth mouth = Mouth::Smile;
    double turn = 0;   // -1..1: face turned toward the viewer's left (-) or right (+)
    bool back = false; // seen from behind, face turning over the shoulder
    bool blush = false;
    bool tears = false;
    bool sunglasses = false;   // worn over the eyes
    bool sunglassesUp = false; // pushed up on the head
    bool hoops = false;        // gold hoop earrings
    bool wideHat = false;
    bool wand = false;
    double stride = 0; // walking: legs apart, -1..1
};

Figure renetta(bool disguised = false);
Figure primu(Outfit outfit = Outfit::Cardigan);
Figure jupiter();
Figure komachi(Outfit outfit = Outfit::CasualCardigan);
Figure yukari(Outfit outfit = Outfit::BeigeCoat);
Figure asama();
Figure tanigawa();
Figure nasuno();

// Draws `f` with the centre of the face at `headCentre`; at scale 1 the face is 64 pixels tall and the
// feet are 290 pixels below the face's centre (taller characters scale up from there).
void drawFigure(QPainter& p, const Figure& f, QPointF headCentre, double scale);

// Where a hand of `f` lands in the picture, for props held in it: side -1 is the viewer's left hand.
QPointF handPosition(const Figure& f, QPointF headCentre, double scale, int side);

// The professor's familiar: a pink puffball with white wings and a star antenna. `r` is the body radius.
void drawMomopi(QPainter& p, QPointF centre, double r);

} // namespace art
