// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What mobrin-cli returns to the shell; scripts tell the failures apart by these numbers.
namespace ExitCode {

constexpr int kOk = 0;
constexpr int kDiffer = 1;       // diff: the files differ (0 when they are the same)
constexpr int kCheckFailed = 1;  // `check`: a file has an error (with --strict, or a warning)
constexpr int kUsage = 2;        // unknown command or option, missing or extra arguments
constexpr int kUnreadable = 3;   // missing, not a regular file, too long, or unreadable;
                                 // also a picture that cannot be read
constexpr int kNotAddin = 4;     // no add-in header, or a damaged one
constexpr int kPatchRefused = 5; // the new text cannot go into the field, a picture is not
                                 // the icon's size or a whole multiple of it, or the parts
                                 // given to `build` make no add-in
constexpr int kWriteFailed = 6;  // the output file could not be written
constexpr int kRunStopped = 7;   // `run`: the add-in stopped other than through system call $42

} // namespace ExitCode
