// The text of one settings file as read, and the way to its sections and keys without decoding the
// lines nobody asks for: a start reads some fifty keys of two or three sections, and the file may hold
// megabytes of lines in sections of other programs.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

namespace common::ini {

enum class Encoding { Bytes, Utf16LE, Utf16BE };

// One line of the text: [begin, end) without its line end; next is where the following line begins.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

struct Text {
    // The lines as the file holds them, byte-order mark removed; a UTF-16 file is held in UTF-8 (and
    // written back in UTF-16).
    QByteArray bytes;
    QByteArray eol = "\n";  // the end of a line written now: the file's own
    bool bom = false;
    Encoding encoding = Encoding::Bytes;
};

// Decodes the file's bytes; false when they are no settings (nothing is changed then).
Text FromFileBytes(QByteArray bytes);
// The bytes a write puts into the file: every line ends with a line end, a UTF-16 file stays UTF-16.
QByteArray ToFileBytes(const Text& text);

Line LineAt(const QByteArray& bytes, qsizetype pos);
// One line decoded: UTF-8, or code page 1250 for a line that is not valid UTF-8 (older installations).
QString DecodeLine(const QByteArray& bytes, const Line& line);

// The section name of a "[name]" line; nothing when the line is no section header.
std::optional<QString> SectionOf(const QString& line);
// The key of a "key=value" line; nothing when the line holds none (a comment never does).
std::optional<QString> KeyOf(const QString& line);

// Where the sections and keys are: the first header of each section and the first line of each key
// in it. Built as far as a lookup needs and remembered, so each line is looked at once per reading
// of the file, however many keys are asked for. Up to `limit` names are remembered; past that a
// lookup scans the rest of the text again (a file of a million sections is read slowly, never with
// a million names in memory).
class Index {
public:
    explicit Index(qsizetype limit = 20000) : limit_(limit) {}
    // The first line after the first header of the section; nothing when the text has no such section.
    std::optional<qsizetype> sectionBody(const QByteArray& bytes, const QString& section);
    // The line holding the key's first occurrence in the section that begins at body.
    std::optional<Line> keyLine(const QByteArray& bytes, qsizetype body, const QString& key);

private:
    struct Keys {
        QHash<QString, Line> first;  // case-folded key -> its first line
        qsizetype scanned = -1;      // every key before this offset is in `first`
        bool complete = false;       // the section's end was reached
    };
    qsizetype limit_;
    QHash<QString, qsizetype> sections_;  // case-folded name -> body of its first header
    qsizetype scanned_ = 0;               // every header before this offset is in sections_
    QHash<qsizetype, Keys> keys_;         // by section body
    qsizetype keyCount_ = 0;
};

}  // namespace common::ini
