#pragma once

#include <QString>

class QWidget;

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
// Where a box with an owner opens: centred on it, or beside it, so that what
// the owner shows stays in sight.
enum class MessagePlace { CentredOnOwner, BesideOwner };

struct MessageRequest {
    QString text;
    QString title;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultButton = MessageAnswer::Ok;
    QWidget *owner = nullptr;
    MessagePlace place = MessagePlace::CentredOnOwner;
    // What a screen reader says with the box besides its text; nothing shows it.
    QString description = {};
};

// Every message box of the program goes through this, so that tests can answer
// without a modal event loop.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer ask(const MessageRequest &request) = 0;
};

// The real boxes: modal, no icon, the buttons and default the request names.
// Where windows get the keyboard as the player moves between them, a box for a
// window that is not the active one waits, and the window asks for attention,
// until the player activates it or presses a key or a button in it: a game that
// ends in the background leaves the keyboard with the program in front.
class QtMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer ask(const MessageRequest &request) override;
};
