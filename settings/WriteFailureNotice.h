#pragma once

class IniStore;
class MessageBoxes;

// Makes a store that cannot save say so once: "Ayarlar kaydedilemedi!".
void reportWriteFailures(IniStore &store, MessageBoxes &messages);
