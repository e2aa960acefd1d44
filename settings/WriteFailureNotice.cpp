#include "settings/WriteFailureNotice.h"

#include "settings/IniStore.h"
#include "ui/Look.h"
#include "ui/MessageBoxes.h"

void reportWriteFailures(IniStore &store, MessageBoxes &messages)
{
    store.setWriteFailureHandler([&messages] {
        messages.ask({QStringLiteral("Ayarlar kaydedilemedi!"), Look::Title, MessageButtons::Ok,
                      MessageAnswer::Ok, nullptr});
    });
}
