// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnsweredRun.h"

#include "AddinMachine.h"

#include <utility>

AnsweredRun::AnsweredRun(AddinMachine& machine, AnswersFile answers)
    : m_machine(machine), m_answers(std::move(answers)) {}

MachineStop AnsweredRun::run(quint64 limit, const CallSeen& callSeen, const StepSeen& stepSeen) {
    for (;;) {
        const quint64 done = m_machine.counters().instructions;
        if (done >= limit) {
            return MachineStop::runBudget(m_machine.registers().pc, limit);
        }
        if (stepSeen) {
            stepSeen(m_machine.registers().pc);
        }
        MachineStop stop = stepSeen ? m_machine.step() : m_machine.run(limit - done);
        if (stop.kind == MachineStop::Kind::SystemCall) {
            const std::optional<SystemCallAnswer> given = m_answers.next(*stop.call);
            const Answered answered{*stop.call, given.value_or(SystemCallAnswer{}),
                                    given.has_value()};
            callSeen(answered);
            m_machine.answer(answered.answer.result, answered.answer.fills);
        } else if (stop.kind != MachineStop::Kind::Stepped &&
                   stop.kind != MachineStop::Kind::Budget) {
            return stop;
        }
    }
}
