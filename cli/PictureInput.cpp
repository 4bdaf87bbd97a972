// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureInput.h"

#include "ExitCode.h"
#include "IconPicture.h"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Qt's image readers and the libraries under them report a damaged file on stderr in their
// own words ("libpng error: Read Error"); the command says what went wrong in its one line,
// so while a picture is read their stderr goes nowhere.
class QuietImageReaders {
public:
    QuietImageReaders() {
        std::fflush(stderr);
        m_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && nowhere >= 0) {
            ::dup2(nowhere, STDERR_FILENO);
        }
        if (nowhere >= 0) {
            ::close(nowhere);
        }
    }
    ~QuietImageReaders() {
        std::fflush(stderr);
        if (m_saved >= 0) {
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
        }
    }
    QuietImageReaders(const QuietImageReaders&) = delete;
    QuietImageReaders& operator=(const QuietImageReaders&) = delete;

private:
    int m_saved = -1;
};

} // namespace

PictureInput PictureInput::read(const QString& path) {
    const IconPicture picture = [&path] {
        const QuietImageReaders quiet;
        return IconPicture::fromFile(path);
    }();
    PictureInput input;
    switch (picture.outcome) {
    case IconPicture::Outcome::Converted:
        input.icon = picture.icon;
        return input;
    case IconPicture::Outcome::Unreadable:
        input.exitCode = ExitCode::kUnreadable;
        break;
    case IconPicture::Outcome::Refused:
        input.exitCode = ExitCode::kPatchRefused;
        break;
    }
    input.error = path + QLatin1String(": ") + picture.problem;
    return input;
}
