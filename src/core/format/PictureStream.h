// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>

// A picture file read front to back in pieces of 64 KiB, so that a reader never holds the
// whole file: a plain PPM of the largest icon picture takes 230 MB as text.
class PictureStream {
public:
    explicit PictureStream(QIODevice& device);

    // The next byte, or -1 at the end of the file.
    int next() {
        if (m_at == m_end && !refill()) {
            return -1;
        }
        return quint8(m_buffer[m_at++]);
    }
    // Up to `length` bytes into `into`; fewer only at the end of the file.
    qint64 read(char* into, qint64 length);

private:
    bool refill();

    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_at = 0;
    qsizetype m_end = 0;
};
