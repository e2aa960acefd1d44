#pragma once

#include "ui/MessageBoxes.h"

#include <QList>
#include <QTest>

#include <functional>

// Answers message boxes from a queue and records every request. A box nobody
// queued an answer for fails the running test.
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer ask(const MessageRequest &request) override
    {
        asked.append(request);
        if (onAsk)
            onAsk(request);
        if (answers.isEmpty()) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected message box: ") + request.text),
                         __FILE__, __LINE__);
            return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
        }
        return answers.takeFirst();
    }

    QStringList texts() const
    {
        QStringList result;
        for (const MessageRequest &r : asked)
            result.append(r.text);
        return result;
    }

    QList<MessageAnswer> answers;
    QList<MessageRequest> asked;
    std::function<void(const MessageRequest &)> onAsk;
};
