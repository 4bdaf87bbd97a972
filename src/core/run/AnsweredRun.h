// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnswersFile.h"
#include "MachineStop.h"
#include "SystemCallAnswer.h"
#include "SystemCallStop.h"

#include <QtGlobal>

#include <functional>

class AddinMachine;

// A run whose system calls are answered as they come, from an answers file: as `mobrin-cli run
// --answers` answers them, and as the Run window replays the answers a user saved. Each call
// gets the file's next answer for it, or the result $0000 and no fill when the file has none.
class AnsweredRun {
public:
    struct Answered {
        SystemCallStop call;
        SystemCallAnswer answer;
        bool fromFile = false; // false: the default answer
    };
    using CallSeen = std::function<void(const Answered&)>;
    using StepSeen = std::function<void(quint16 pc)>;

    AnsweredRun(AddinMachine& machine, AnswersFile answers);

    // Runs until anything but an answered call stops the machine, or until it has run `limit`
    // instructions in all; `callSeen` hears each call as it is answered. Given `stepSeen`, the
    // instructions run one at a time and it hears the address of each before it runs.
    MachineStop run(quint64 limit, const CallSeen& callSeen, const StepSeen& stepSeen = {});

private:
    AddinMachine& m_machine;
    AnswersFile m_answers;
};
