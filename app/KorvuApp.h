#pragma once

#include "game/RandomSource.h"
#include "game/frmPlayfield.h"
#include "highscores/frmInput.h"
#include "settings/IniStore.h"
#include "settings/frmStart.h"
#include "ui/MessageBoxes.h"
#include "ui/WindowSlot.h"

// Owns the program's services and its windows, each created on first use.
class KorvuApp {
public:
    KorvuApp();

    // Creates and shows the start window.
    void start();

private:
    StartSettings readStartSettings();
    void launchGame();
    void unloadStart();

    QtMessageBoxes m_messages;
    IniStore m_store;
    MixingRandom m_random;
    SystemClock m_clock;
    DialogNamePrompt m_names;
    WindowSlot<frmStart> m_start;
    WindowSlot<frmPlayfield> m_game;
};
