// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureStream.h"

#include <cstring>

namespace {

constexpr qsizetype kPiece = qsizetype(64) * 1024;

} // namespace

PictureStream::PictureStream(QIODevice& device)
    : m_device(device), m_buffer(kPiece, Qt::Uninitialized) {}

bool PictureStream::refill() {
    const qint64 got = m_device.read(m_buffer.data(), kPiece);
    m_at = 0;
    m_end = got > 0 ? qsizetype(got) : 0;
    return m_end > 0;
}

qint64 PictureStream::read(char* into, qint64 length) {
    qint64 done = 0;
    while (done < length) {
        if (m_at == m_end && !refill()) {
            break;
        }
        const qint64 piece = qMin<qint64>(length - done, m_end - m_at);
        std::memcpy(into + done, m_buffer.constData() + m_at, size_t(piece));
        m_at += qsizetype(piece);
        done += piece;
    }
    return done;
}
