// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <csignal>

// Holds back SIGINT, SIGTERM, SIGHUP and SIGQUIT for as long as it lives, on this thread.
// A file write runs under it, so that such a signal never ends the program between creating
// a temporary file and renaming or removing it, nor halfway through writing into a file: the
// signal arrives once the write is over, and the program then ends (or handles it) as usual.
class DeferredQuitSignals {
public:
    DeferredQuitSignals();
    ~DeferredQuitSignals();
    DeferredQuitSignals(const DeferredQuitSignals&) = delete;
    DeferredQuitSignals& operator=(const DeferredQuitSignals&) = delete;

private:
    sigset_t m_old{};
    bool m_held = false;
};
