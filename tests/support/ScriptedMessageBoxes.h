#pragma once

#include "ui/MessageBoxes.h"

#include <QList>
#include <QTest>

#include <functional>

// Answers message boxes from a queue and records every request. A box nobody
// expected is answered Ok/No and marked, so the test can fail on it.
class ScriptedMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer ask(const MessageRequest &request) override
    {
        asked.append(request);
        if (onAsk)
            onAsk(request);
        if (answers.isEmpty()) {
            unexpected = true;
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
    bool unexpected = false;
    std::function<void(const MessageRequest &)> onAsk;
};
