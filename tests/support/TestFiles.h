// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

// Files for tests, in a private folder that goes away with the test. Names are taken byte for
// byte (FilePath), so a name that is not UTF-8 can be made with FilePath::fromBytes().
class TestFiles {
public:
    TestFiles();
    ~TestFiles();
    TestFiles(const TestFiles&) = delete;
    TestFiles& operator=(const TestFiles&) = delete;

    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const;
    static QByteArray read(const QString& path);
    // examples/`name`.asm assembled with z80asm into `name`.bin here; its path, or an empty
    // string when z80asm failed.
    QString assembleExample(const QString& name) const;

    // A complete add-in: header, `codeLength` code bytes (never 0xFF), then 0xFF up to
    // `totalSize` when it is larger.
    static QByteArray addin(const QByteArray& name = "Clock",
                            const QByteArray& description = "Shows time", int codeLength = 100,
                            int totalSize = 8192, const QByteArray& classText = "ADDIN");
    // The icon bytes addin() uses: a recognisable pattern, every row different.
    static QByteArray icon();
    // 160 icon bytes from a seeded generator.
    static QByteArray randomIcon(quint32 seed);
    // The icon drawn black on white, as the icon box draws it, each icon pixel made `scale` x
    // `scale`: the picture a user would draw of it.
    static QImage drawnIcon(const QByteArray& icon, int scale = 1);
    // The icon as a GIF, which Qt cannot write, its pixel data ending after the first
    // `pixels` pixels.
    static QByteArray gif(const QByteArray& icon, int pixels = 40 * 32);
    // An XPM of one character a pixel: 40 x 32 pixels as its values say, `colours` ("x c
    // black") and `rows` as they are.
    static QByteArray xpm(const QByteArrayList& colours, const QByteArrayList& rows);
    // A PNG chunk, its length and checksum around `type` and `data`.
    static QByteArray pngChunk(const QByteArray& type, const QByteArray& data);
    // A PNG of `width` x `height` pixels (colour type, depth and interlacing as given), `chunks`
    // before its pixel data, and `rows` (filter bytes included) compressed as that data.
    static QByteArray png(int width, int height, int colourType, int depth, bool interlaced,
                          const QByteArray& chunks, const QByteArray& rows);

private:
    QTemporaryDir m_dir;
};
