#pragma once

#include <QString>

// Whether a program file is there, as a directory search for a normal file
// would find it: folders and hidden files do not count.
class FileProbe {
public:
    virtual ~FileProbe() = default;
    virtual bool exists(const QString &path) = 0;
};

class SystemFileProbe final : public FileProbe {
public:
    bool exists(const QString &path) override;
};
