#pragma once

#include <QtGlobal>

class NamePrompt;
class QWidget;
class Store;

// The end-of-game check: the first of the four rows whose stored score is
// strictly below the final score is overwritten with it and the player's name.
// The rows below are not moved.
void CheckScore(qint16 score, Store &store, NamePrompt &names, QWidget *owner);
