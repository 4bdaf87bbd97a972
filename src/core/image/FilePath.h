// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A file name is a run of bytes. Qt's own conversions turn every byte that is not UTF-8 into
// U+FFFD, so that "a\xFF.rex" and the different file "a\xEF\xBF\xBD.rex" get the same name.
// Here such a byte is kept as a lone surrogate U+DC80..U+DCFF instead and comes back as the
// same byte, so a name taken from the command line reaches exactly the file it names.
namespace FilePath {

// `bytes` as text: UTF-8 where it is valid, every other byte kept as U+DC00 + byte. The three
// bytes of U+FFFD itself are kept so too: text from here never holds U+FFFD, which thereby
// marks a name that Qt decoded (see namesExactly).
QString fromBytes(QByteArrayView bytes);
// The bytes fromBytes() read, exactly; any other text as UTF-8.
QByteArray toBytes(const QString& path);

// False when `path` may stand for another file than the one the user chose: a part of it
// holds U+FFFD, and its folder holds an entry that Qt reads as the same text but whose bytes
// differ (a name that is not UTF-8). Such a path came from Qt (a file dialog, a dropped URL)
// and cannot be told apart from its twin; a folder that cannot be listed counts as such too.
bool namesExactly(const QString& path);

} // namespace FilePath
