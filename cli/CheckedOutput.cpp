// SPDX-License-Identifier: GPL-3.0-or-later
#include "CheckedOutput.h"

#include <cerrno>

#include <unistd.h>

CheckedOutput::CheckedOutput(int fd) : m_fd(fd) {
    if (::isatty(fd) == 0) {
        setp(m_held.data(), m_held.data() + m_held.size());
    }
}

int CheckedOutput::finish() {
    sync();
    return m_error;
}

CheckedOutput::int_type CheckedOutput::overflow(int_type ch) {
    sync();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        const char byte = traits_type::to_char_type(ch);
        if (pbase() != nullptr) {
            sputc(byte);
        } else {
            send(&byte, 1);
        }
    }
    return traits_type::not_eof(ch);
}

std::streamsize CheckedOutput::xsputn(const char* text, std::streamsize count) {
    if (pbase() != nullptr && count <= epptr() - pptr()) {
        return std::streambuf::xsputn(text, count);
    }
    sync();
    send(text, count);
    return count;
}

int CheckedOutput::sync() {
    if (pbase() != nullptr) {
        send(pbase(), pptr() - pbase());
        setp(pbase(), epptr());
    }
    return 0;
}

void CheckedOutput::send(const char* bytes, std::streamsize count) {
    while (count > 0 && m_error == 0) {
        const ssize_t written = ::write(m_fd, bytes, size_t(count));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            m_error = written < 0 ? errno : ENOSPC; // nothing taken and no reason: no room
            return;
        }
        bytes += written;
        count -= written;
    }
}
