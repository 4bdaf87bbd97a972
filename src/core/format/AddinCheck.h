// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// One thing worth knowing about an add-in file before it goes to the handheld.
struct AddinFinding {
    enum class Severity { Error, Warning };

    QString id; // stable, for scripts: "not-addin", "word1-mismatch", ...
    Severity severity = Severity::Error;
    qint64 offset = 0; // the file offset it concerns (the first byte is 0)
    QString sentence;  // one sentence saying what is wrong

    bool isError() const { return severity == Severity::Error; }
    QString severityText() const;
    // "warning word1-mismatch at $0029: Word 1 is ...", as `check` prints it after the file.
    QString line() const;
};

// What the handheld and Mobrin's parser need of an add-in file, checked on its bytes; the
// findings come in the order of their offsets.
//
//   error    not-addin           no "ApplicationName:" signature, or a class type not ADDIN
//   error    damaged-header      the file ends inside the header
//   error    too-large           over 9000 bytes
//   warning  short-file          under 8192 bytes: Open offers to pad it
//   error    control-character   a control character in the class, the name or the
//                                description (a CR LF in the description aside)
//   warning  line-feed-missing   the byte after a CR of the class or name line is no LF
//   error    empty-name          the name is empty
//   warning  description-crlf    the description holds a line break (CR LF)
//   warning  word1-mismatch      word 1 runs past the end of the file, or a byte after its
//                                length is not padding (00 bytes, then FF bytes)
//   warning  white-icon          every icon byte is 0
//   error    no-code             everything after the header is padding: 00 bytes, then
//                                0xFF bytes (or nothing)
//   warning  code-origin         most CALL and JP targets lie outside the code, which runs
//                                from $8000, and another origin puts them on its instructions
namespace AddinCheck {

// `image` is the file's bytes, or its first bytes when `fileSize` (the file's length) is
// larger; the code is checked only when the image is the whole file of at most 9000 bytes.
QList<AddinFinding> of(QByteArrayView image, qint64 fileSize);
inline QList<AddinFinding> of(QByteArrayView image) {
    return of(image, image.size());
}
// The findings as the window's message shows them: a line each, or "No findings." when there
// are none.
QString report(const QList<AddinFinding>& findings);

} // namespace AddinCheck
