// Playing with the keyboard: keys for the command icons and for clicks on the scene picture,
// Tab between the two game windows, and Space or Enter past the title.
#pragma once

#include "GameState.h"

class QKeyEvent;
class QWidget;

namespace lw {

class MainWindow;
struct GameWindows;
class TitleWindow;

// A key pressed without Ctrl, Alt or Meta: such chords belong to the window (Ctrl+J on the
// message window) or to the desktop, never to the player's keys.
bool isPlainKey(const QKeyEvent& key);

// The command a key selects, or None: the digits 1-5 on the main keyboard or the keypad.
Command commandForKey(const QKeyEvent& key);
// The third of the picture a key clicks, or None: ← Z left, ↓ X Space Enter middle, → C right.
ClickColumn columnForKey(const QKeyEvent& key);

// On the main window: 1-5 click the command's icon, the column keys click the picture. False
// for any other key.
bool handleMainWindowKey(MainWindow& form, const GameState& state, const QKeyEvent& key);
// Clicks the scene picture at the middle of a third, at half its height, with the same mouse
// events a player's click sends.
void clickScenePicture(MainWindow& form, ClickColumn column);
// Tab (or Shift+Tab) in one game window brings the other one forward with the keyboard.
bool handleTabBetweenGameWindows(GameWindows& windows, QWidget* window, const QKeyEvent& key);
// On the title: Space or Enter is a click on it.
bool handleTitleKey(TitleWindow& title, const QKeyEvent& key);

} // namespace lw
