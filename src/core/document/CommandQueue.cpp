// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandQueue.h"

CommandQueue::CommandQueue(QObject* parent) : QObject(parent) {}

void CommandQueue::request(Command command) {
    m_commands.push_back(std::move(command));
    QMetaObject::invokeMethod(this, &CommandQueue::run, Qt::QueuedConnection);
}

void CommandQueue::requestAfterEdits(Command command) {
    request([this, command = std::move(command)] {
        finishEdits();
        command();
    });
}

CommandQueue::Command CommandQueue::afterEdits(Command command) {
    return [this, command = std::move(command)] { requestAfterEdits(command); };
}

void CommandQueue::finishEdits() {
    if (m_finisher) {
        m_finisher();
    }
}

void CommandQueue::run() {
    // A command's dialog runs an event loop of its own; what is asked for meanwhile waits
    // for this loop to reach it.
    if (m_running) {
        return;
    }
    m_running = true;
    while (!m_commands.empty()) {
        const Command command = std::move(m_commands.front());
        m_commands.pop_front();
        command();
    }
    m_running = false;
}
