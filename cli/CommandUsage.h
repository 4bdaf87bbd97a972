// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

// How a sub-command is called, said once: its own help and its lines in the program's overview
// are both made from it.
struct CommandUsage {
    // A way to call the command, as "info FILE [--json] [--hex | --dec]", and for the overview
    // what it does in a few words ("\n" between the lines of a longer summary). The overview
    // may list a shorter form than the help does: `shown` says where a form stands.
    struct Form {
        enum class Shown { Everywhere, InHelp, InOverview };

        const char* synopsis = "";
        const char* summary = "";
        Shown shown = Shown::Everywhere;
    };

    const char* name = "";
    std::vector<Form> forms;
    const char* details = ""; // the help after the "Usage:" lines and an empty line

    // "Usage: mobrin-cli" and each form, then the details.
    QString help() const;
    // The command's lines in `mobrin-cli --help`: each form, its summary beside or below it.
    QString overview() const;
};
