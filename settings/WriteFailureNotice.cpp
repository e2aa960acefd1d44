#include "settings/WriteFailureNotice.h"

#include "settings/IniStore.h"
#include "ui/MessageBoxes.h"

void reportWriteFailures(IniStore &store, MessageBoxes &messages)
{
    store.setWriteFailureHandler([&messages] {
        messages.ask({QStringLiteral("Ayarlar kaydedilemedi!"), QStringLiteral("Korvu"),
                      MessageButtons::Ok, MessageAnswer::Ok, nullptr});
    });
}
