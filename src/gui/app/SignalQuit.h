// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP (Ctrl+C, kill, the end of a session) end the program through its
// event loop, so that everything is torn down as at a normal end and the temporary folder
// goes. The handler only writes the signal's number into a pipe; the rest happens on the
// user-interface thread when the loop reads it. No question is asked, not even "Discard the
// changes?": a logout waits for no answer, and unsaved changes are lost as the sender meant.
class SignalQuit : public QObject {
    Q_OBJECT

public:
    explicit SignalQuit(QObject* parent = nullptr);
    ~SignalQuit() override;
    SignalQuit(const SignalQuit&) = delete;
    SignalQuit& operator=(const SignalQuit&) = delete;

    // The signal that ended the event loop, or 0.
    int received() const { return m_received; }
    // Ends the process by the received signal itself, once everything else is gone, so that
    // the parent sees how it ended. Does nothing when no signal was received.
    void endBySignal() const;

private:
    static void handle(int signal);
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
    int m_received = 0;
};
