// SPDX-License-Identifier: GPL-3.0-or-later
#include "MarksInput.h"

#include "CliOutput.h"
#include "ExitCode.h"
#include "FileInput.h"
#include "MarksFile.h"

std::optional<int> MarksInput::read(const QString& path, QByteArrayView image,
                                    const AddinHeader& header, std::ostream& err) {
    const FileInput input = FileInput::readPart(path, MarksFile::kMostBytes);
    if (!input.ok()) {
        return input.fail(err);
    }
    MarksFile::Parsed parsed = MarksFile::parse(input.bytes);
    if (!parsed.ok()) {
        QString message = path + QLatin1String(": ") + parsed.problems.first().sentence();
        if (const qsizetype more = parsed.problems.size() - 1; more > 0) {
            message +=
                QStringLiteral(" (and %1 more bad line%2)").arg(more).arg(more > 1 ? "s" : "");
        }
        return CliOutput::fail(err, ExitCode::kUnreadable, message);
    }
    marks = std::move(parsed.marks);
    bytes = input.bytes;
    identity = input.identity;
    if (const int unplaced = marks.place(image, header.headSize); unplaced > 0) {
        CliOutput::fail(err, ExitCode::kOk,
                        path + (unplaced == 1
                                    ? QStringLiteral(": 1 mark could not be placed: its bytes "
                                                     "changed")
                                    : QStringLiteral(": %1 marks could not be placed: their bytes "
                                                     "changed")
                                          .arg(unplaced)));
    }
    return std::nullopt;
}
