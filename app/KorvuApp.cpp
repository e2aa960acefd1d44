#include "app/KorvuApp.h"

#include <QCoreApplication>

KorvuApp::KorvuApp(AppServices services)
    : m_services(services),
      m_start([this] {
          return new frmStart(m_services.store, m_services.messages,
                              StartActions{[this] { launchGame(); }, [this] { showHighscores(); },
                                           [this] { showAbout(); }});
      }),
      // Every game start reads the start window's controls afresh.
      m_game([this] {
          return new frmPlayfield(PlayfieldServices{
                  m_services.store, m_services.messages, m_services.names, m_services.random,
                  m_services.clock, [this] { return m_start.get().startSettings(); },
                  [this] { unloadStart(); }});
      }),
      m_highscore([this] {
          return new frmHighscore(m_services.store, m_services.messages, m_start.loaded());
      }),
      m_about([this] { return new frmAbout(m_start.loaded()); })
{
    QCoreApplication::instance()->installEventFilter(&m_modalCloseGuard);
}

void KorvuApp::start()
{
    m_start.get().show();
}

void KorvuApp::launchGame()
{
    frmPlayfield &game = m_game.get();
    game.show();
    game.activateWindow();
    game.setFocus();
}

void KorvuApp::unloadStart()
{
    if (frmStart *start = m_start.loaded())
        start->close();
}

// Both windows are modal over the start window and delete themselves when
// closed, so the slot has forgotten them by the time exec() returns.
void KorvuApp::showHighscores()
{
    m_highscore.get().exec();
}

void KorvuApp::showAbout()
{
    m_about.get().exec();
}
