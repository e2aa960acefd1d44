#include "app/KorvuApp.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>

KorvuApp::KorvuApp()
    : m_random(quint64(QDateTime::currentMSecsSinceEpoch())),
      m_start([this] {
          return new frmStart(m_store, m_messages,
                              StartActions{[this] { launchGame(); }, {}, {}});
      }),
      m_game([this] {
          return new frmPlayfield(PlayfieldServices{m_store, m_messages, m_names, m_random,
                                                    m_clock, [this] { return readStartSettings(); },
                                                    [this] { unloadStart(); }});
      })
{
    m_store.setWriteFailureHandler([this] {
        m_messages.ask({QStringLiteral("Ayarlar kaydedilemedi!"), QStringLiteral("Korvu"),
                        MessageButtons::Ok, MessageAnswer::Ok, nullptr});
    });
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
