#pragma once

#include "about/frmAbout.h"
#include "game/frmPlayfield.h"
#include "highscores/frmHighscore.h"
#include "settings/frmStart.h"
#include "ui/ModalCloseGuard.h"
#include "ui/WindowSlot.h"

class Clock;
class MessageBoxes;
class NamePrompt;
class RandomSource;
class Store;

// What the program's entry hands the windows: the store, the dialogs, the
// randomness and the time of day.
struct AppServices {
    Store &store;
    MessageBoxes &messages;
    NamePrompt &names;
    RandomSource &random;
    Clock &clock;
};

// Owns the program's windows, each created on first use, and wires them to
// one another and to the services. While a box or dialog is open, the windows
// under it cannot be closed.
class KorvuApp {
public:
    explicit KorvuApp(AppServices services);

    // Creates and shows the start window.
    void start();

private:
    void launchGame();
    void unloadStart();
    void showHighscores();
    void showAbout();

    AppServices m_services;
    ModalCloseGuard m_modalCloseGuard;
    WindowSlot<frmStart> m_start;
    WindowSlot<frmPlayfield> m_game;
    WindowSlot<frmHighscore> m_highscore;
    WindowSlot<frmAbout> m_about;
};
