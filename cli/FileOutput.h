// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FileReplacer.h"
#include "RegularFile.h"

#include <QByteArray>
#include <QString>

#include <optional>

// An output file named on the command line, written as Save writes it: never onto a device,
// FIFO, socket or folder, never onto the input file itself.
namespace FileOutput {

// Writes `bytes` to `path`, unless it leads to the file `input`; returns the one-line error
// ("OUT: cannot write `what`: why", the system's reason where it gave one: "No space left on
// device") or nothing when the file was written.
QString write(const QString& path, const QByteArray& bytes, std::optional<FileIdentity> input,
              const QString& what);
// The one-line error of a write of `what` to `path` that ended as `result`; empty when it was
// written.
QString refusal(const QString& path, const FileReplacer::Result& result, const QString& what);

} // namespace FileOutput
