// SPDX-License-Identifier: GPL-3.0-or-later
#include "PictureInput.h"

#include "CliOutput.h"
#include "ExitCode.h"
#include "IconPicture.h"

int PictureInput::fail(std::ostream& err) const {
    return CliOutput::fail(err, exitCode, error);
}

PictureInput PictureInput::read(const QString& path) {
    const IconPicture picture = IconPicture::fromFile(path);
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
