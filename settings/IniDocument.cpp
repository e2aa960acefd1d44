#include "settings/IniDocument.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <map>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

int digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

bool isHexDigit(char16_t c)
{
    return c < 0x80 && digitValue(char(c), 16) >= 0;
}

// Section and key names: UTF-8, with '\' standing for '/' and %XX or %UXXXX
// for any other character that is not a letter, digit, '_', '-' or '.'.
QString decodeName(QByteArrayView raw)
{
    const QString text = QString::fromUtf8(raw);
    QString name;
    name.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text.at(i);
        if (c == u'\\') {
            name += u'/';
            ++i;
            continue;
        }
        if (c == u'%' && i + 1 < text.size()) {
            const bool wide = text.at(i + 1) == u'U';
            const qsizetype first = i + (wide ? 2 : 1);
            const qsizetype digits = wide ? 4 : 2;
            if (first + digits <= text.size()) {
                bool ok = false;
                const ushort code = QStringView(text).sliced(first, digits).toUShort(&ok, 16);
                if (ok) {
                    name += QChar(code);
                    i = first + digits;
                    continue;
                }
            }
        }
        name += c;
        ++i;
    }
    return name;
}

QByteArray encodeName(const QString &name)
{
    QByteArray raw;
    for (const QChar qc : name) {
        const char16_t c = qc.unicode();
        if (c == u'/') {
            raw += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')
                   || c == u'_' || c == u'-' || c == u'.') {
            raw += char(c);
        } else if (c <= 0xFF) {
            raw += '%' + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        } else {
            raw += "%U" + QByteArray::number(c, 16).toUpper().rightJustified(4, '0');
        }
    }
    return raw;
}

char simpleEscape(char c)
{
    switch (c) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"': case '?': case '\'': case '\\': return c;
    default: return 0;
    }
}

// A value as QSettings reads one: blanks around unquoted text are dropped,
// "..." quotes text (commas and blanks included), backslash escapes work as
// in C, and unquoted commas separate the items of a list.
QStringList unescapeValue(QByteArrayView raw, bool *isList)
{
    QStringList items;
    QString item;
    // One decoder for the whole value, so a character split by an escape
    // decodes as it does in QSettings.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const qsizetype n = raw.size();
    qsizetype i = 0;
    qsizetype keep = 0; // blanks before this point of the item are text
    bool inQuotes = false;
    bool quoted = false;
    bool chopAtEnd = true;
    *isList = false;

    const auto skipBlanks = [&] {
        while (i < n && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
        keep = item.size();
    };
    const auto chopBlanks = [&] {
        if (quoted)
            return;
        qsizetype end = item.size();
        while (end > keep && (item.at(end - 1) == u' ' || item.at(end - 1) == u'\t'))
            --end;
        item.truncate(end);
    };

    skipBlanks();
    while (i < n) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= n) {
                chopAtEnd = false;
                break;
            }
            const char escape = raw[i++];
            if (const char plain = simpleEscape(escape)) {
                item += QLatin1Char(plain);
            } else if ((escape == 'x' && i < n && digitValue(raw[i], 16) >= 0)
                       || digitValue(escape, 8) >= 0) {
                const int base = escape == 'x' ? 16 : 8;
                char16_t code = escape == 'x' ? 0 : char16_t(escape - '0');
                while (i < n && digitValue(raw[i], base) >= 0)
                    code = char16_t(code * base + digitValue(raw[i++], base));
                item += QChar(code);
                if (i >= n) {
                    chopAtEnd = false;
                    break;
                }
            } else if (escape == 'x' && i >= n) {
                chopAtEnd = false;
                break;
            } else if ((escape == '\n' || escape == '\r') && i < n
                       && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != escape) {
                ++i; // a line continuation ends with either pair of line-end characters
            }
            // Any other escaped character is dropped with its backslash.
            keep = item.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else if (c == ',' && !inQuotes) {
            chopBlanks();
            *isList = true;
            items.append(item);
            item.clear();
            quoted = false;
            ++i;
            skipBlanks();
        } else {
            qsizetype j = i + 1;
            while (j < n && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',')
                ++j;
            item += utf8(raw.sliced(i, j - i));
            i = j;
        }
    }
    if (chopAtEnd)
        chopBlanks();
    items.append(item);
    return items;
}

// "@@" starts a text that begins with '@'; other '@' forms are QSettings' own
// types, of which only the empty value and a byte array can hold a setting.
std::optional<QString> storedText(const QString &text)
{
    if (!text.startsWith(u'@'))
        return text;
    if (text.startsWith(QLatin1String("@@")))
        return text.sliced(1);
    if (text == QLatin1String("@Invalid()"))
        return std::nullopt;
    if (text.startsWith(QLatin1String("@ByteArray(")) && text.endsWith(u')'))
        return QString::fromUtf8(text.sliced(11, text.size() - 12).toLatin1());
    return text;
}

QByteArray encodeValue(const QString &value)
{
    const QString text = value.startsWith(u'@') ? u'@' + value : value;
    QByteArray raw;
    raw.reserve(text.size() + 2);
    QStringEncoder utf8(QStringEncoder::Utf8);
    bool needsQuotes = false;
    // After a numeric escape a hex digit would be read as part of it.
    bool escapeHexDigits = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar qc = text.at(i);
        const char16_t c = qc.unicode();
        // UTF-8 cannot carry half a surrogate pair, and a byte-order mark at the
        // start of a run of text is dropped when read: both go as escapes.
        const bool pairedHigh = qc.isHighSurrogate() && i + 1 < text.size()
                && text.at(i + 1).isLowSurrogate();
        const bool pairedLow = qc.isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate();
        const bool escaped = c <= 0x1F || c == 0xFEFF || (qc.isSurrogate() && !pairedHigh && !pairedLow);
        if (c == u';' || c == u',' || c == u'=')
            needsQuotes = true;
        if (escapeHexDigits && isHexDigit(c)) {
            raw += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        escapeHexDigits = false;
        switch (c) {
        case u'\0': raw += "\\0"; escapeHexDigits = true; break;
        case u'\a': raw += "\\a"; break;
        case u'\b': raw += "\\b"; break;
        case u'\f': raw += "\\f"; break;
        case u'\n': raw += "\\n"; break;
        case u'\r': raw += "\\r"; break;
        case u'\t': raw += "\\t"; break;
        case u'\v': raw += "\\v"; break;
        case u'"': case u'\\': raw += '\\'; raw += char(c); break;
        default:
            if (escaped) {
                raw += "\\x" + QByteArray::number(c, 16);
                escapeHexDigits = true;
            } else if (c < 0x7F) {
                raw += char(c);
            } else {
                raw += utf8(QStringView(&qc, 1));
            }
        }
    }
    if (needsQuotes || raw.startsWith(' ') || raw.endsWith(' '))
        return '"' + raw + '"';
    return raw;
}

QByteArray keyLine(const SettingsChange &change)
{
    return encodeName(change.key) + '=' + encodeValue(change.value) + '\n';
}

} // namespace

IniDocument::IniDocument(QByteArray bytes) : m_bytes(std::move(bytes))
{
    parse();
}

// The lines as QSettings splits them: a line ends at a line break or a ';'
// outside double quotes, a backslash takes the next character with it, and a
// line that starts with ';' is a comment.
void IniDocument::parse()
{
    m_sectionNames = {QString()};
    const char *d = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    qsizetype pos = m_bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    int section = 0;
    // How the last line ended, when it ran into the end of the file.
    bool tailOpen = false;
    bool tailInQuotes = false;
    bool tailBackslash = false;
    for (;;) {
        qsizetype start = pos;
        while (start < n && isBlank(d[start]))
            ++start;
        qsizetype i = start;
        qsizetype equals = -1;
        bool inQuotes = false;
        bool danglingBackslash = false;
        bool ended = false;
        while (i < n && !ended) {
            const char c = d[i++];
            if (c == '=') {
                if (!inQuotes && equals < 0)
                    equals = i - 1;
            } else if (c == '\n' || c == '\r') {
                if (!inQuotes) {
                    --i;
                    ended = true;
                }
            } else if (c == '\\') {
                if (i >= n) {
                    danglingBackslash = true;
                } else {
                    const char escaped = d[i++];
                    if (i < n && ((escaped == '\n' && d[i] == '\r') || (escaped == '\r' && d[i] == '\n')))
                        ++i;
                }
            } else if (c == '"') {
                inQuotes = !inQuotes;
            } else if (c == ';') {
                if (i == start + 1) {
                    while (i < n && d[i] != '\n' && d[i] != '\r')
                        ++i;
                    while (i < n && isBlank(d[i]))
                        ++i;
                    start = i;
                } else if (!inQuotes) {
                    --i;
                    ended = true;
                }
            }
        }
        pos = i;
        if (i == start)
            break;
        tailOpen = !ended;
        tailInQuotes = inQuotes;
        tailBackslash = danglingBackslash;
        if (d[start] == '[') {
            qsizetype close = start + 1;
            while (close < i && d[close] != ']')
                ++close;
            const QByteArrayView header = QByteArrayView(d + start + 1, close - start - 1).trimmed();
            QString name;
            if (header.compare("general", Qt::CaseInsensitive) == 0)
                name = QString();
            else if (header.compare("%general", Qt::CaseInsensitive) == 0)
                name = QString::fromLatin1(header.sliced(1));
            else
                name = decodeName(header);
            m_sectionNames.append(name);
            section = int(m_sectionNames.size() - 1);
            m_lines.append(Line{start, i, -1, section, true});
        } else {
            m_lines.append(Line{start, i, equals, section, false});
        }
    }

    // Text added at the end must not continue a quote, an escape or a line
    // that the file leaves unfinished. An escaped space is dropped when read.
    if (tailOpen && tailBackslash)
        m_closeTail += ' ';
    if (tailOpen && tailInQuotes)
        m_closeTail += '"';
    // After an escaped line break the same character ends the line: the other
    // one would pair with it and be taken into the escape.
    const char last = m_bytes.isEmpty() ? '\n' : m_bytes.back();
    if (tailOpen || (last != '\n' && last != '\r'))
        m_closeTail += tailOpen && last == '\r' ? '\r' : '\n';
}

const IniDocument::Line *IniDocument::lineOf(const QString &section, const QString &key) const
{
    QList<bool> inSection(m_sectionNames.size());
    for (qsizetype s = 0; s < m_sectionNames.size(); ++s)
        inSection[s] = m_sectionNames[s] == section;
    const QByteArray plainKey = key.toUtf8();
    for (auto line = m_lines.crbegin(); line != m_lines.crend(); ++line) {
        if (line->isHeader || line->equals < 0 || !inSection[line->section])
            continue;
        const QByteArrayView raw =
                QByteArrayView(m_bytes.constData() + line->start, line->equals - line->start).trimmed();
        if (raw == plainKey)
            return &*line;
        // Only an escaped name, or one with a byte-order mark before it, can
        // spell the key another way.
        const bool plain = std::none_of(raw.begin(), raw.end(), [](char c) {
            return c == '%' || c == '\\' || (c & 0x80);
        });
        if (!plain && decodeName(raw) == key)
            return &*line;
    }
    return nullptr;
}

std::optional<QString> IniDocument::value(const QString &section, const QString &key) const
{
    const Line *line = lineOf(section, key);
    if (!line)
        return std::nullopt;
    bool isList = false;
    const QStringList items = unescapeValue(
            QByteArrayView(m_bytes.constData() + line->equals + 1, line->end - line->equals - 1),
            &isList);
    if (!isList)
        return storedText(items.first());
    // A hand-edited value with unquoted commas is a list; it reads as one text,
    // or as an empty one where QSettings took an item for one of its types.
    QStringList texts;
    for (const QString &item : items) {
        if (item.startsWith(u'@') && !item.startsWith(QLatin1String("@@")))
            return QString();
        texts.append(item.startsWith(u'@') ? item.sliced(1) : item);
    }
    return texts.join(QStringLiteral(", "));
}

QByteArray IniDocument::replacedValues(const QList<SettingsChange> &changes,
                                       QList<SettingsChange> &missing) const
{
    std::map<qsizetype, std::pair<const Line *, QByteArray>> replacements; // by line start
    for (const SettingsChange &change : changes) {
        if (const Line *line = lineOf(change.section, change.key)) {
            replacements[line->start] = {line, encodeValue(change.value)};
            continue;
        }
        auto same = std::find_if(missing.begin(), missing.end(), [&](const SettingsChange &m) {
            return m.section == change.section && m.key == change.key;
        });
        if (same != missing.end())
            same->value = change.value;
        else
            missing.append(change);
    }
    QByteArray bytes = m_bytes;
    for (auto it = replacements.crbegin(); it != replacements.crend(); ++it) {
        const Line *line = it->second.first;
        bytes.replace(line->equals + 1, line->end - line->equals - 1, it->second.second);
    }
    return bytes;
}

// Just past the line break that ends a line which has text after it: the end
// of the line, or of the comment that follows it.
qsizetype IniDocument::afterLine(const Line &line) const
{
    const qsizetype n = m_bytes.size();
    qsizetype at = line.end;
    while (at < n && m_bytes[at] != '\n' && m_bytes[at] != '\r')
        ++at;
    if (at < n) {
        const char first = m_bytes[at++];
        if (at < n && (m_bytes[at] == '\n' || m_bytes[at] == '\r') && m_bytes[at] != first)
            ++at;
    }
    return at;
}

QByteArray IniDocument::withMissingKeys(const QList<SettingsChange> &missing) const
{
    // New keys go after the last line of the last part of their section; new
    // sections at the end of the file.
    std::map<qsizetype, QByteArray> insertions;
    QByteArray atEnd;
    QByteArray newSections;
    QStringList handled;
    for (const SettingsChange &first : missing) {
        if (handled.contains(first.section))
            continue;
        handled.append(first.section);
        QByteArray lines;
        for (const SettingsChange &change : missing) {
            if (change.section == first.section)
                lines += keyLine(change);
        }
        qsizetype header = -1;
        for (qsizetype l = 0; l < m_lines.size(); ++l) {
            if (m_lines[l].isHeader && m_sectionNames[m_lines[l].section] == first.section)
                header = l;
        }
        if (header < 0) {
            if (!m_bytes.isEmpty() || !newSections.isEmpty())
                newSections += '\n';
            newSections += '[' + encodeName(first.section) + "]\n" + lines;
            continue;
        }
        qsizetype next = header + 1;
        while (next < m_lines.size() && !m_lines[next].isHeader)
            ++next;
        if (next < m_lines.size())
            insertions[afterLine(m_lines[next - 1])] += lines;
        else
            atEnd += lines;
    }
    QByteArray bytes = m_bytes;
    if (!atEnd.isEmpty() || !newSections.isEmpty())
        bytes += m_closeTail + atEnd + newSections;
    for (auto it = insertions.crbegin(); it != insertions.crend(); ++it)
        bytes.insert(it->first, it->second);
    return bytes;
}

std::optional<QByteArray> IniDocument::withChanges(const QList<SettingsChange> &changes) const
{
    QList<SettingsChange> missing;
    const IniDocument replaced(replacedValues(changes, missing));
    QByteArray bytes = replaced.withMissingKeys(missing);

    // Never write a file that would not give back what was saved.
    const IniDocument written(bytes);
    QHash<QString, QString> expected;
    for (const SettingsChange &change : changes)
        expected.insert(change.section + u'/' + change.key, change.value);
    for (const SettingsChange &change : changes) {
        if (written.value(change.section, change.key)
            != expected.value(change.section + u'/' + change.key))
            return std::nullopt;
    }
    return bytes;
}
