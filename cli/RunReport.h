// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SystemCallAnswer.h"

#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>

class AddinMachine;
struct MachineStop;
struct SystemCallStop;

// What `run` prints: the notes, each traced instruction, each system call with its answer, the
// stop and the summary. The lines go out as the run goes; --json collects them into one object
// written at the end.
class RunReport {
public:
    // `traced`: the report holds the trace, even an empty one.
    RunReport(std::ostream& out, bool json, bool traced);

    void notes(const QStringList& notes);
    // The listing's line of an instruction about to run.
    void trace(const QString& line);
    // A call as the add-in made it and its answer: none for $0042; `given` false when no line
    // of the answers file answered it and the default was given.
    void call(const SystemCallStop& call, const std::optional<SystemCallAnswer>& answer,
              bool given);
    // The stop that ended the run and the summary of `machine`'s counters.
    void finish(const QString& file, const MachineStop& stop, const AddinMachine& machine);

private:
    std::ostream& m_out;
    bool m_json = false;
    QJsonArray m_notes;
    QJsonArray m_trace;
    QJsonArray m_calls;
    bool m_traced = false;
};
