// The main module's shared variables and procedures: start-up, the scene watcher, the scenario's
// link to the windows.
#pragma once

#include <QString>

namespace lw {

class Scenario;

// The start-up procedure: drives every window from the series notice to the clear screen.
void playGame();

// Sets the story to its first state, then loads, lays out and shows the main and message windows
// with every command not selected.
void OpenGameWindows();

// Places the main and message windows for a screen of this size (twips) and sizes the message
// window and its label; the windows' design sizes go in, outer sizes count.
void layOutAndShowGameWindows(double screenWidth, double screenHeight);

// The one scenario of the run, acting on gameState() and writing to the game windows.
Scenario& scenario();

// Replaces the message window's line; an empty speaker shows the text as narration.
void ShowLine(const QString& speaker, const QString& text);
// The whole caption ShowLine gives a line.
QString formatLine(const QString& speaker, const QString& text);

// Shown when the picture is clicked with no command chosen.
void ShowCommandHint();

} // namespace lw
