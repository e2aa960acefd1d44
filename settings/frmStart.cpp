#include "settings/frmStart.h"

#include "settings/Store.h"
#include "settings/StoreLayout.h"
#include "settings/StoredText.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/MessageBoxes.h"
#include "ui/Placement.h"
#include "ui/WrappedText.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace {

QString optionsText(Store &store, const QString &key, const QVariant &fallback)
{
    return store.GetSetting(StoreKeys::App, StoreKeys::Options, key, fallback);
}

} // namespace

frmStart::frmStart(Store &store, MessageBoxes &messages, StartActions actions, QWidget *parent)
    : DesignDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint),
      m_store(store),
      m_messages(messages),
      m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("frmStart"));
    setWindowTitle(QStringLiteral("Korvu Ayarlar - www.korvu.example"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A tool window does not end the program when it closes; this one must.
    setAttribute(Qt::WA_QuitOnClose, true);
    setFont(designFont(DesignFont::LucidaConsole, 8.25));
    setClientSize(269, 96);

    Label1 = place(new QLabel(this), "Label1", 8, 8, 77, 22);
    setWrappedText(Label1, QStringLiteral("Yakinlik: (Normali=7)"));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = place(new QLabel(QStringLiteral("Hizi:"), this), "Label2", 8, 32, 35, 11);
    Label3 = place(new QLabel(QStringLiteral("Yemek:"), this), "Label3", 8, 56, 42, 11);
    Label4 = place(new QLabel(QStringLiteral("Skor"), this), "Label4", 8, 80, 28, 11);

    TSize = place(new QLineEdit(this), "TSize", 104, 8, 73, 15);
    TPPFood = place(new QLineEdit(this), "TPPFood", 104, 56, 73, 15);
    TPPFood->setEnabled(false);
    ShowPoints = place(new QCheckBox(QStringLiteral("Evt"), this), "ShowPoints", 104, 77, 41, 17);
    ShowPoints->setChecked(true);
    CSpeed = place(new QComboBox(this), "CSpeed", 104, 32, 73, 19);
    CSpeed->setEditable(false);
    for (const SpeedLevels::Level &level : SpeedLevels::List)
        CSpeed->addItem(QLatin1String(level.text), level.tickInterval);
    CSpeed->setCurrentIndex(-1);

    Command1 = place(new QPushButton(QStringLiteral("Baslat"), this), "Command1", 184, 8, 81, 17);
    Command2 = place(new QPushButton(QStringLiteral("Skor Tablo"), this), "Command2", 184, 32, 81, 17);
    Command3 = place(new QPushButton(QStringLiteral("Bilgi"), this), "Command3", 184, 56, 81, 17);
    Command1->setDefault(true);

    for (QWidget *box : {static_cast<QWidget *>(TSize), static_cast<QWidget *>(TPPFood),
                         static_cast<QWidget *>(CSpeed)})
        Look::setBoxGrey(box);

    // The labels name their fields for assistive tools, as their text does on screen.
    Label1->setBuddy(TSize);
    Label2->setBuddy(CSpeed);
    Label3->setBuddy(TPPFood);
    Label4->setBuddy(ShowPoints);
    TSize->setAccessibleName(QStringLiteral("Yakinlik"));
    CSpeed->setAccessibleName(QStringLiteral("Hizi"));
    TPPFood->setAccessibleName(QStringLiteral("Yemek"));
    ShowPoints->setAccessibleName(QStringLiteral("Skor"));

    setTabOrder(TSize, TPPFood);
    setTabOrder(TPPFood, ShowPoints);
    setTabOrder(ShowPoints, CSpeed);
    setTabOrder(CSpeed, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);

    connect(CSpeed, &QComboBox::activated, this, [this] { CSpeed_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] {
        Q_ASSERT(m_actions.showHighscores);
        m_actions.showHighscores();
    });
    connect(Command3, &QPushButton::clicked, this, [this] {
        Q_ASSERT(m_actions.showAbout);
        m_actions.showAbout();
    });

    Form_Load();
    TSize->setFocus();
}

StartSettings frmStart::startSettings() const
{
    return StartSettings{ShowPoints->isChecked() ? 1 : 0, TSize->text(),
                         CSpeed->currentIndex() < 0 ? 0 : CSpeed->currentData().toInt(),
                         TPPFood->text()};
}

void frmStart::Form_Load()
{
    const bool played =
            ReadPlayed(optionsText(m_store, StoreKeys::Played, StoreDefaults::Played));
    // What the first start wrote, or a table it kept, is shown as a later
    // start shows it.
    if (played || !writeFirstStart())
        restoreSettings();
}

void frmStart::restoreSettings()
{
    const std::optional<qint16> speed =
            ReadInt16(optionsText(m_store, StoreKeys::Speed, StoreDefaults::Speed));
    // Only positions the list has; anything else is a damaged store.
    const int position = speed && *speed >= 0 && *speed < CSpeed->count() ? *speed : 0;
    CSpeed->setCurrentIndex(position);
    TPPFood->setText(optionsText(m_store, StoreKeys::PPFood, StoreDefaults::PPFood));
    TSize->setText(optionsText(m_store, StoreKeys::Size, StoreDefaults::Size));
}

bool frmStart::writeFirstStart()
{
    // The first start's options, in the order they are written.
    const std::array<std::pair<QString, QString>, 5> firstStartOptions{{
            {StoreKeys::HardCore, defaultText(StoreDefaults::HardCore)},
            {StoreKeys::Played, defaultText(true)},
            {StoreKeys::Speed, defaultText(StoreDefaults::Speed)},
            {StoreKeys::PPFood, defaultText(StoreDefaults::PPFood)},
            {StoreKeys::Size, defaultText(StoreDefaults::Size)},
    }};
    // Decided again on the store as the save finds it: the read before it
    // may have failed, or another copy may have started first.
    bool showStored = false;
    m_store.commit(StoreKeys::App, [&](SettingsEdit &stored) {
        showStored = ReadPlayed(
                stored.value(StoreKeys::Options, StoreKeys::Played, StoreDefaults::Played));
        if (showStored)
            return;
        // Rows in the table are a player's record: a "Played" that went missing
        // (a hand edit, a file lost while a game ran) must not empty it. Only a
        // "Played" that says no does.
        bool hasRows = false;
        for (int row = 1; row <= StoreKeys::HighscoreRows; ++row)
            hasRows = hasRows || stored.contains(StoreKeys::Highscore, StoreKeys::Name(row))
                    || stored.contains(StoreKeys::Highscore, StoreKeys::Score(row));
        // A kept table keeps the options it has too, and is shown as stored.
        showStored = !stored.contains(StoreKeys::Options, StoreKeys::Played) && hasRows;
        for (const auto &[key, value] : firstStartOptions) {
            if (!showStored || !stored.contains(StoreKeys::Options, key))
                stored.setValue(StoreKeys::Options, key, value);
        }
        if (showStored)
            return;
        for (int row = 1; row <= StoreKeys::HighscoreRows; ++row)
            stored.setValue(StoreKeys::Highscore, StoreKeys::Name(row), QString());
        for (int row = 1; row <= StoreKeys::HighscoreRows; ++row)
            stored.setValue(StoreKeys::Highscore, StoreKeys::Score(row),
                            defaultText(StoreDefaults::Score));
    });
    if (showStored)
        return false;
    CSpeed->setCurrentIndex(StoreDefaults::Speed);
    TPPFood->setText(defaultText(StoreDefaults::PPFood));
    TSize->setText(defaultText(StoreDefaults::Size));
    return true;
}

void frmStart::Form_Unload()
{
    m_store.commit(StoreKeys::App, [this](SettingsEdit &stored) {
        stored.setValue(StoreKeys::Options, StoreKeys::Size, TSize->text());
        stored.setValue(StoreKeys::Options, StoreKeys::PPFood, TPPFood->text());
        stored.setValue(StoreKeys::Options, StoreKeys::Speed,
                        QString::number(CSpeed->currentIndex()));
    });
}

void frmStart::CSpeed_Click()
{
    TPPFood->setText(QString::number(SpeedLevels::pointsPerFood(CSpeed->currentIndex())));
}

bool frmStart::checkGameSettings()
{
    if (!ReadCellSize(TSize->text())) {
        m_messages.ask({QStringLiteral("Yakinlik %1 ile %2 arasinda bir sayi olmali!")
                                .arg(StoreLimits::MinCellSize)
                                .arg(StoreLimits::MaxCellSize),
                        Look::Title, MessageButtons::Ok, MessageAnswer::Ok, this});
        TSize->setFocus();
        return false;
    }
    if (!ReadInt16(TPPFood->text())) {
        m_messages.ask({QStringLiteral("Yemek puani gecersiz, hizi yeniden seciniz!"), Look::Title,
                        MessageButtons::Ok, MessageAnswer::Ok, this});
        TSize->setFocus();
        return false;
    }
    return true;
}

void frmStart::Command1_Click()
{
    // A size the board cannot use or a points text that is no number never
    // reaches the game window.
    if (!checkGameSettings())
        return;
    Q_ASSERT(m_actions.launchGame);
    m_actions.launchGame();
    hide();
}

void frmStart::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
    DesignDialog::closeEvent(event);
}
