#pragma once

#include <QString>

// Starts a program file in its own normal window without waiting for it.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // False when the program could not be started.
    virtual bool start(const QString &program) = 0;
};

class SystemLauncher final : public ProgramLauncher {
public:
    bool start(const QString &program) override;
};
