#pragma once

#include "about/FileProbe.h"
#include "about/ProgramLauncher.h"
#include "about/Registry.h"
#include "about/frmAbout.h"
#include "game/Clock.h"
#include "game/RandomSource.h"
#include "game/frmPlayfield.h"
#include "highscores/frmHighscore.h"
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
    void showHighscores();
    void showAbout();

    QtMessageBoxes m_messages;
    IniStore m_store;
    MixingRandom m_random;
    SystemClock m_clock;
    DialogNamePrompt m_names;
    SystemRegistry m_registry;
    SystemFileProbe m_files;
    SystemLauncher m_launcher;
    WindowSlot<frmStart> m_start;
    WindowSlot<frmPlayfield> m_game;
    WindowSlot<frmHighscore> m_highscore;
    WindowSlot<frmAbout> m_about;
};
