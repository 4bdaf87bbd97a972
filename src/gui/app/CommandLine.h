// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class MainWindow;

// `mobrin [FILE]`: the file to open at start, if one is given.
namespace CommandLine {

// Handles --help and --version itself (and exits); returns the file named, if any.
std::optional<QString> fileToOpen(const QStringList& arguments);
// Whether the arguments ask only for the help or the version, which need no display.
bool asksForInformation(const QStringList& arguments);

// Opens `path` in `window` once the event loop runs, as if chosen in the open dialog.
void openWhenShown(MainWindow& window, const QString& path);

} // namespace CommandLine
