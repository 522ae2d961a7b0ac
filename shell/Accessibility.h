// What a screen reader is told: roles and names for the game's windows, icons and pictures, and
// the lines and captions as they change. Labels are named by their own text.
#pragma once

class QLabel;
class QWidget;

namespace lw::accessibility {

// Windows are windows, the command icons are buttons named after their commands (a press
// clicks them), pictures are graphics. Once per run, before any of them is asked for.
void installRoles();

// The message label shows a new line: its name becomes the line, speaker included, and the
// change is announced even when the line is the same as the one before.
void announceLine(QLabel* label);

// A window's caption has changed: its new name is announced. For the main window the scene
// picture, named after the location, is announced too.
void announceCaption(QWidget* window);

} // namespace lw::accessibility
