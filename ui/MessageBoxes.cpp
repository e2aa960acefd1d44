#include "ui/MessageBoxes.h"

#include <QMessageBox>

MessageAnswer QtMessageBoxes::ask(const MessageRequest &request)
{
    QMessageBox box(QMessageBox::NoIcon, request.title, request.text, QMessageBox::NoButton,
                    request.owner);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (request.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(request.defaultButton == MessageAnswer::No ? QMessageBox::No
                                                                        : QMessageBox::Yes);
        // Closing a Yes/No box without a choice must not count as Yes.
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (request.buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return result == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}
