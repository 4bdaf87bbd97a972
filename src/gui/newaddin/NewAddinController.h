// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class AddinDocument;
class CommandQueue;
class NewAddinCommands;
class NewAddinDialog;
class Prompts;
class QWidget;

// File > "New add-in from code...": the dialog, its file choices, and the add-in made from
// them, which the next Save offers to write under the code file's name.
class NewAddinController : public QObject {
    Q_OBJECT

public:
    NewAddinController(Prompts& prompts, AddinDocument& document, CommandQueue& queue,
                       QWidget& owner);
    ~NewAddinController() override;

    void show();

signals:
    // An add-in was made; the next save should offer `path`.
    void created(const QString& path);

private:
    void create();

    CommandQueue& m_queue;
    QWidget& m_owner;
    std::unique_ptr<NewAddinCommands> m_commands;
    QPointer<NewAddinDialog> m_dialog;
};
