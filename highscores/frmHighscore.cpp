#include "highscores/frmHighscore.h"

#include "settings/Store.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/MessageBoxes.h"
#include "ui/Placement.h"
#include "ui/WindowManager.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {

constexpr int FirstRowTop = 32;
constexpr int RowPitch = 16;
constexpr int LabelHeight = 11;

// The labels size themselves to their text: the left edge stays, the width
// follows the text, so a long name runs on to the right instead of being cut.
void setFittedText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->resize(label->sizeHint().width(), label->height());
}

QLabel *fittedLabel(QWidget *parent, const QString &name, const QString &text, int left, int top)
{
    auto *label = place(new QLabel(parent), name, left, top, 0, LabelHeight);
    label->setTextFormat(Qt::PlainText);
    setFittedText(label, text);
    return label;
}

// A reader is given a label's accessible name only, in place of its text: the
// name says which column and row the label stands in, then what it shows, and
// that it is empty when nothing shows.
void setCellText(QLabel *label, const QString &column, int row, const QString &text)
{
    setFittedText(label, text);
    const QString shown = text.trimmed().isEmpty() ? QStringLiteral("bos") : text;
    label->setAccessibleName(QStringLiteral("%1 %2: %3").arg(column, QString::number(row), shown));
}

} // namespace

frmHighscore::frmHighscore(Store &store, MessageBoxes &messages, QWidget *owner)
    : DesignDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint),
      m_store(store),
      m_messages(messages)
{
    setObjectName(QStringLiteral("frmHighscore"));
    setWindowTitle(QStringLiteral("Skor Tablosu"));
    setAttribute(Qt::WA_DeleteOnClose);
    setEscapeCloses(true);
    setFont(designFont(DesignFont::LucidaConsole, 8.25));
    setClientSize(231, 123);

    // The etched rule under the headings lies beneath everything else.
    Line1 = Look::ruleLine(this, QStringLiteral("Line1"), QRect(0, 24, 232, 1),
                           QPalette::WindowText);
    Line2 = Look::ruleLine(this, QStringLiteral("Line2"), QRect(0, 25, 232, 1), QPalette::Window,
                           Look::BoxGrey);

    // Created in the designed tab order, bottom row first, which is also the
    // focus chain. A score lies above its row's name, so a long name runs under it.
    Label1 = fittedLabel(this, QStringLiteral("Label1"), QStringLiteral("Isim"), 8, 8);
    Label2 = fittedLabel(this, QStringLiteral("Label2"), QStringLiteral("Skor"), 176, 8);
    for (int row = StoreKeys::HighscoreRows; row >= 1; --row) {
        const int top = FirstRowTop + (row - 1) * RowPitch;
        m_names[row - 1] = fittedLabel(this, QStringLiteral("HName(%1)").arg(row),
                                       QStringLiteral("Isim #%1").arg(row), 8, top);
        m_scores[row - 1] = fittedLabel(this, QStringLiteral("Score(%1)").arg(row),
                                        QStringLiteral("Skor #%1").arg(row), 171, top);
        m_scores[row - 1]->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    }
    Command1 = place(new QPushButton(QStringLiteral("Sil"), this), QStringLiteral("Command1"), 96,
                     104, 57, 17);
    Command2 = place(new QPushButton(QStringLiteral("Kapat"), this), QStringLiteral("Command2"),
                     160, 104, 65, 17);
    Command2->setDefault(true);
    // A reader walks the children in stacking order: the rows are restacked top
    // row first, the buttons after them, so the table reads as it shows. No two
    // rows overlap, so the picture stays; the focus chain is not touched.
    for (int row = 1; row <= StoreKeys::HighscoreRows; ++row) {
        HName(row)->raise();
        Score(row)->raise();
    }
    Command1->raise();
    Command2->raise();

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, &QWidget::close);

    Form_Load();
    // Labels take no focus, so the first button has it and Enter asks to clear.
    Command1->setFocus();
}

void frmHighscore::showEvent(QShowEvent *event)
{
    // The outer frame is centred on the owner's. This window's frame is not
    // known before it is first shown, so it is taken to be the owner's: both
    // are tool windows. Without a window manager both are zero.
    if (!event->spontaneous()) {
        if (const QWidget *owner = parentWidget())
            centreOnOwner(this, frameMargins(owner));
    }
    DesignDialog::showEvent(event);
}

void frmHighscore::Form_Load()
{
    for (int row = 1; row <= StoreKeys::HighscoreRows; ++row) {
        showRow(row,
                m_store.GetSetting(StoreKeys::App, StoreKeys::Highscore, StoreKeys::Name(row),
                                   QString()),
                m_store.GetSetting(StoreKeys::App, StoreKeys::Highscore, StoreKeys::Score(row),
                                   StoreDefaults::Score));
    }
}

void frmHighscore::Command1_Click()
{
    const MessageAnswer answer =
            m_messages.ask({QStringLiteral("Emin Misiniz?"), QStringLiteral("Skor Tablosu Sil"),
                            MessageButtons::YesNo, MessageAnswer::Yes, this});
    if (answer != MessageAnswer::Yes)
        return;
    m_store.commit(StoreKeys::App, [](SettingsEdit &table) {
        for (int row = 1; row <= StoreKeys::HighscoreRows; ++row)
            table.setValue(StoreKeys::Highscore, StoreKeys::Name(row), QStringLiteral("-"));
        for (int row = 1; row <= StoreKeys::HighscoreRows; ++row)
            table.setValue(StoreKeys::Highscore, StoreKeys::Score(row),
                           defaultText(StoreDefaults::Score));
    });
    for (int row = 1; row <= StoreKeys::HighscoreRows; ++row)
        showRow(row, QStringLiteral("-"), QString());
}

void frmHighscore::showRow(int row, const QString &name, const QString &score)
{
    setCellText(HName(row), Label1->text(), row, name);
    setCellText(Score(row), Label2->text(), row, score);
}
