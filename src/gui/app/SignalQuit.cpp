// SPDX-License-Identifier: GPL-3.0-or-later
#include "SignalQuit.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array kQuitSignals{SIGINT, SIGTERM, SIGHUP};

// The pipe from the handler to the event loop: [0] is read by the loop, [1] written by the
// handler. One per process, as signal handlers are.
int g_pipe[2] = {-1, -1};

} // namespace

SignalQuit::SignalQuit(QObject* parent) : QObject(parent) {
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalQuit::readSignal);
    struct sigaction action {};
    action.sa_handler = &SignalQuit::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kQuitSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

SignalQuit::~SignalQuit() {
    if (m_notifier == nullptr) {
        return;
    }
    // A signal from here on ends the program at once: there is no loop left to tell.
    for (const int signal : kQuitSignals) {
        std::signal(signal, SIG_DFL);
    }
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

// Only what is safe in a signal handler: one write, errno left as it was. A full pipe means a
// signal is already on its way.
void SignalQuit::handle(int signal) {
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = savedErrno;
}

void SignalQuit::readSignal() {
    unsigned char number = 0;
    while (::read(g_pipe[0], &number, 1) == 1) {
        if (m_received == 0) {
            m_received = number;
        }
    }
    if (m_received != 0) {
        // Leaves every event loop, the main one and those of any open dialog; a dialog opened
        // after this returns at once, so nothing waits for an answer.
        QCoreApplication::exit(128 + m_received);
    }
}

void SignalQuit::endBySignal() const {
    if (m_received == 0) {
        return;
    }
    std::signal(m_received, SIG_DFL);
    ::raise(m_received);
}
