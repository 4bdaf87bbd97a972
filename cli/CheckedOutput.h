// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <streambuf>

// The stream buffer under mobrin-cli's standard output: it writes to a file descriptor and keeps
// the first failure, so that a full disk or a file-size limit is reported when the command ends
// instead of leaving a cut file behind an exit code of 0. After a failure the rest is dropped.
// On a terminal every write goes out at once, so that the lines keep their places among the
// error lines.
class CheckedOutput : public std::streambuf {
public:
    explicit CheckedOutput(int fd);
    CheckedOutput(const CheckedOutput&) = delete;
    CheckedOutput& operator=(const CheckedOutput&) = delete;

    // Writes out what is held; the system's error number of the first write that failed, or 0.
    int finish();

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    void send(const char* bytes, std::streamsize count);

    int m_fd;
    int m_error = 0;
    std::array<char, 65536> m_held{};
};
