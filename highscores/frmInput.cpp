#include "highscores/frmInput.h"

#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/Placement.h"
#include "ui/WindowManager.h"
#include "ui/WrappedText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>

frmInput::frmInput(QWidget *owner)
    : DesignDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(QString());
    setAccessibleName(QStringLiteral("Isim"));
    setFont(designFont(DesignFont::LucidaConsole, 8.25));
    // The frame may be resized; nothing inside follows it.
    resize(242, 55);

    Label1 = place(new QLabel(this), QStringLiteral("Label1"), 0, 0, 240, 22);
    setWrappedText(Label1, QStringLiteral("Skor Tablosunda Yer Alacak Isminizi Giriniz..."));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Text1 = place(new QLineEdit(InitialName, this), QStringLiteral("Text1"), 8, 32, 129, 17);
    Text1->setAccessibleName(Label1->accessibleName());
    Look::setBoxGrey(Text1);
    Label1->setBuddy(Text1);

    Command1 = place(new QPushButton(QStringLiteral("Kaydet"), this), QStringLiteral("Command1"),
                     152, 32, 81, 17);
    Command1->setDefault(true);

    setTabOrder(Text1, Command1);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    Text1->setFocus();
}

QString frmInput::chosenName() const
{
    return result() == QDialog::Accepted ? Text1->text() : InitialName;
}

void frmInput::describeEntry(qint16 score, int row)
{
    setAccessibleDescription(QStringLiteral("Skor: %1, Skor Tablosunda %2. sira")
                                     .arg(QString::number(score), QString::number(row)));
}

void frmInput::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        requestBorderWithoutTitle(this);
        // A border alone is as wide as the sides of the owner's frame.
        if (const QWidget *owner = parentWidget()) {
            const int side = frameMargins(owner->window()).left();
            centreOnOwner(this, QMargins(side, side, side, side));
        }
    }
    DesignDialog::showEvent(event);
}

QString DialogNamePrompt::askName(QWidget *owner, qint16 score, int row)
{
    // Runs the dialog, then gives its owner the keyboard back if the owner is
    // still there: the window system may have closed both.
    const QPointer<QWidget> ownerAlive = owner;
    QPointer<frmInput> dialog = new frmInput(owner);
    dialog->describeEntry(score, row);
    dialog->exec();
    const QString name = dialog ? dialog->chosenName() : frmInput::InitialName;
    delete dialog;
    if (ownerAlive)
        takeBackTheKeyboard(ownerAlive);
    return name;
}
