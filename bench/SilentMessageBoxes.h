#pragma once

#include "ui/MessageBoxes.h"

// Answers every box with its default button without showing it; a benchmark
// must never wait on a modal loop.
class SilentMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer ask(const MessageRequest &request) override { return request.defaultButton; }
};
