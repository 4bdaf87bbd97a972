// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeferredQuitSignals.h"

#include <initializer_list>

#include <pthread.h>

DeferredQuitSignals::DeferredQuitSignals() {
    sigset_t quit;
    sigemptyset(&quit);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        sigaddset(&quit, signal);
    }
    m_held = ::pthread_sigmask(SIG_BLOCK, &quit, &m_old) == 0;
}

DeferredQuitSignals::~DeferredQuitSignals() {
    if (m_held) {
        ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
}
