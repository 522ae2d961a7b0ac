// Playing with the keyboard: keys for the command icons and for clicks on the scene picture,
// Tab between the two game windows, and Space or Enter past the title.
#pragma once

class QKeyEvent;
class QWidget;

namespace lw {

class Form1;
class Form3;

// A key pressed without Ctrl, Alt or Meta: such chords belong to the window (Ctrl+J on the
// message window) or to the desktop, never to the player's keys.
bool isPlainKey(const QKeyEvent& key);

// The command (1-5) a key selects, or 0: the digits 1-5 on the main keyboard or the keypad.
int commandForKey(const QKeyEvent& key);
// The third of the picture (1 left, 2 middle, 3 right) a key clicks, or 0: ← Z left, ↓ X Space
// Enter middle, → C right.
int columnForKey(const QKeyEvent& key);

// On the main window: 1-5 click the command's icon, the column keys click the picture. False
// for any other key.
bool handleMainWindowKey(Form1& form, const QKeyEvent& key);
// Clicks the scene picture at the middle of a third, at half its height, with the same mouse
// events a player's click sends.
void clickScenePicture(Form1& form, int column);
// Tab (or Shift+Tab) in one game window brings the other one forward with the keyboard.
bool handleTabBetweenGameWindows(QWidget* window, const QKeyEvent& key);
// On the title: Space or Enter is a click on it.
bool handleTitleKey(Form3& title, const QKeyEvent& key);

} // namespace lw
