#pragma once

#include "settings/Store.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// A settings file in the INI form QSettings reads and writes, kept as the
// bytes it was read from. A write changes only the lines of the keys it sets
// and adds the keys that are missing, so comments, other keys and lines that
// are no setting at all stay exactly as they were.
class IniDocument {
public:
    explicit IniDocument(QByteArray bytes);

    // The text of the last line that sets `key` in a section named `section`,
    // read as QSettings reads it; nothing when no such line holds a value.
    std::optional<QString> value(const QString &section, const QString &key) const;

    // The file with each change applied in order, or nothing when the result
    // would not read back as the changes say.
    std::optional<QByteArray> withChanges(const QList<SettingsChange> &changes) const;

private:
    struct Line {
        qsizetype start;
        qsizetype end; // past the last byte; a newline or comment after it is not part of it
        qsizetype equals; // -1 when the line sets no key (a header, or text that is no setting)
        int section; // index into m_sectionNames
        bool isHeader;
    };

    void parse();
    const Line *lineOf(const QString &section, const QString &key) const;
    QByteArray replacedValues(const QList<SettingsChange> &changes,
                              QList<SettingsChange> &missing) const;
    QByteArray withMissingKeys(const QList<SettingsChange> &missing) const;
    qsizetype afterLine(const Line &line) const;

    QByteArray m_bytes;
    QList<Line> m_lines;
    QList<QString> m_sectionNames; // [0] is the part before the first header
    QByteArray m_closeTail; // what ends an unfinished last line, so text after it is a line of its own
};
