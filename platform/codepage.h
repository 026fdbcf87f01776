#pragma once
// Text in the system code page (Shift-JIS, CP932) and the data files' text form.
//
// Reading: CR LF, LF alone and a missing last line end are accepted. Bytes that are not
// valid Shift-JIS survive a read and a write unchanged (they travel as U+DC80 + byte).
// Writing: CP932 with CR LF; a text that CP932 cannot hold makes that one file UTF-8 with
// a byte-order mark (read back as such), never "?".
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace plat {

// Decodes CP932 bytes; invalid bytes become U+DC80 + byte.
QString fromAnsi(const QByteArray& bytes);
// Encodes to CP932; U+DC80..U+DCFF become their byte again. ok = false when some character
// has no CP932 form (then that character is written as "?", so callers that must not lose
// text check ok).
QByteArray toAnsi(const QString& text, bool* ok = nullptr);
bool fitsAnsi(const QString& text);

// Splits file content into lines by the rules above (a UTF-8 BOM selects UTF-8).
QStringList decodeLines(const QByteArray& content);
// Joins lines with CR LF, each line ended; CP932 or, if needed, UTF-8 with BOM.
QByteArray encodeLines(const QStringList& lines);

// Reads a whole text file (Windows path). Throws RuntimeError (53 and the like).
QStringList readTextFile(const QString& winPath);
// Writes a whole text file atomically: a new file beside it, flushed, then renamed over the
// old one. On failure the old file is untouched and RuntimeError is thrown (61 disk full,
// 70 permission denied, 76 path not found).
void writeTextFile(const QString& winPath, const QStringList& lines);

// Tests: makes the next writes fail after n bytes (simulated full disk), -1 switches off.
void setWriteFailureAfter(qint64 n);

} // namespace plat
