#include "game/frmPlayfield.h"

#include "highscores/ScoreCheck.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/MessageBoxes.h"
#include "ui/TickTimer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScopedValueRollback>

namespace {

quint32 faceColour()
{
    return Canvas::fromRgb(QApplication::palette().color(QPalette::Window).rgb());
}

// Maps an arrow key, keypad arrows included, to its key code; 0 for others.
int keyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left: return Playfield::ArrowLeft;
    case Qt::Key_Up: return Playfield::ArrowUp;
    case Qt::Key_Right: return Playfield::ArrowRight;
    case Qt::Key_Down: return Playfield::ArrowDown;
    default: return 0;
    }
}

// How to play, for a screen reader: the board itself is pictures only.
QString playDescription(std::optional<qint16> blockLimit)
{
    const QString ending = blockLimit
            ? QStringLiteral("ust uste %1 kez carpmak oyunu bitirir.").arg(*blockLimit)
            : QStringLiteral("carpmak oyunu bitirmez.");
    return QStringLiteral("Ok tuslari solucani yonlendirir. Duvara ya da solucanin kendisine %1 "
                          "Oyunda duraklatma yoktur.")
            .arg(ending);
}

} // namespace

frmPlayfield::frmPlayfield(PlayfieldServices services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      m_services(std::move(services)),
      m_canvas(faceColour()),
      m_playfield(m_canvas, *this, m_services.store, m_services.random, m_services.clock)
{
    Q_ASSERT(m_services.startSettings && m_services.onClosed);
    setObjectName(QStringLiteral("frmPlayfield"));
    setWindowTitle(QStringLiteral("Korvu 1.0 - www.korvu.example"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(Canvas::DesignWidth, Canvas::DesignHeight);

    Label1 = new QLabel(QStringLiteral("0000"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Label1->setAutoFillBackground(false);
    Label1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label1->setFont(designFont(DesignFont::TimesNewRoman, 8.25));
    Look::setColour(Label1, QPalette::WindowText, Qt::black);
    Label1->setGeometry(32, 0, 16, 15);

    Timer1 = new TickTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &frmPlayfield::Timer1_Timer);

    m_playfield.StartSequence();
    repaintDamage();
    describePlay();
}

void frmPlayfield::describePlay()
{
    setAccessibleDescription(playDescription(m_playfield.blockLimit()));
}

void frmPlayfield::Timer1_Timer()
{
    m_playfield.Tick();
    repaintDamage();
}

void frmPlayfield::repaintDamage()
{
    for (const QRect &rect : m_canvas.takeDamage())
        update(rect);
}

void frmPlayfield::paintEvent(QPaintEvent *event)
{
    // Straight copies of the stored picture, never smoothed: at any device pixel
    // ratio a cell stays one solid block.
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QImage &image = m_canvas.image();
    for (const QRect &rect : event->region())
        painter.drawImage(rect, image, rect);
}

void frmPlayfield::keyPressEvent(QKeyEvent *event)
{
    const int code = keyCode(event->key());
    if (code == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    m_playfield.KeyDown(code);
    event->accept();
}

void frmPlayfield::closeEvent(QCloseEvent *event)
{
    // A window under a modal box takes no input, its close button included; the
    // tick that opened the box still runs on this window when the box is answered.
    // Beyond what the application refuses while a box is open, this covers the
    // waits for the keyboard after the box and the name dialog.
    if (m_endOfGameOpen) {
        event->ignore();
        return;
    }
    Timer1->stop();
    event->accept();
    if (!m_closed) {
        m_closed = true;
        m_services.onClosed();
    }
}

StartSettings frmPlayfield::startSettings()
{
    return m_services.startSettings();
}

void frmPlayfield::setScoreVisible(bool visible)
{
    Label1->setVisible(visible);
}

void frmPlayfield::setScoreText(const QString &text)
{
    Label1->setText(text);
    // A reader is given the label's name only, so the name carries the score.
    Label1->setAccessibleName(QStringLiteral("Skor: ") + text);
    Label1->adjustSize();
}

void frmPlayfield::placeScore(QPoint topLeft, int points)
{
    Label1->move(topLeft);
    QFont font = Label1->font();
    font.setPointSizeF(points);
    Label1->setFont(font);
    Label1->adjustSize();
}

void frmPlayfield::setTimerInterval(int milliseconds)
{
    Timer1->setInterval(milliseconds);
}

void frmPlayfield::setTimerEnabled(bool enabled)
{
    if (enabled)
        Timer1->start();
    else
        Timer1->stop();
}

QSize frmPlayfield::clientSize()
{
    return size();
}

QSize frmPlayfield::outerSize()
{
    return frameGeometry().size();
}

void frmPlayfield::setOuterSize(QSize pixels)
{
    const QSize frame = frameGeometry().size() - size();
    setFixedSize(std::max(1, pixels.width() - frame.width()),
                 std::max(1, pixels.height() - frame.height()));
}

void frmPlayfield::showGameOver(qint16 finalScore)
{
    const QScopedValueRollback endOfGameOpen(m_endOfGameOpen, true);
    // The picture as it stands, the final score with it, stays in sight beside the box.
    repaintDamage();
    // A reader announces the score with the box, shown on the board or not.
    m_services.messages.ask({QStringLiteral("Oyun Bitti!"), Look::Title, MessageButtons::Ok,
                             MessageAnswer::Ok, this, MessagePlace::BesideOwner,
                             QStringLiteral("Skor: %1").arg(finalScore)});
    CheckScore(finalScore, m_services.store, m_services.names, this);
    // The next game may be played to another stored limit.
    describePlay();
}
