#include "app/KorvuApp.h"

#include "settings/WriteFailureNotice.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>

KorvuApp::KorvuApp()
    : m_random(quint64(QDateTime::currentMSecsSinceEpoch())),
      m_start([this] {
          return new frmStart(m_store, m_messages,
                              StartActions{[this] { launchGame(); }, [this] { showHighscores(); },
                                           [this] { showAbout(); }});
      }),
      m_game([this] {
          return new frmPlayfield(PlayfieldServices{m_store, m_messages, m_names, m_random,
                                                    m_clock, [this] { return readStartSettings(); },
                                                    [this] { unloadStart(); }});
      }),
      m_highscore([this] { return new frmHighscore(m_store, m_messages, m_start.loaded()); }),
      m_about([this] {
          return new frmAbout(SysInfoServices{m_registry, m_files, m_launcher, m_messages},
                              m_start.loaded());
      })
{
    reportWriteFailures(m_store, m_messages);
}

void KorvuApp::start()
{
    m_start.get().show();
}

StartSettings KorvuApp::readStartSettings()
{
    frmStart &start = m_start.get();
    return StartSettings{start.showPointsValue(), start.TSize->text(), start.selectedSpeedData(),
                         start.TPPFood->text()};
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
