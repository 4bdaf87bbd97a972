// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompts.h"

#include <QList>

#include <deque>
#include <functional>
#include <optional>

// Answers the program's questions and file dialogs from a script and records what was asked,
// so tests can check every text, caption, icon, button set and default button.
class ScriptedPrompts : public Prompts {
public:
    // Queues the answer to the next question.
    void answer(Answer reply) { m_answers.push_back(reply); }
    // Queues the path the next file dialog returns; nothing means the dialog is cancelled.
    void choose(std::optional<QString> path) { m_paths.push_back(std::move(path)); }
    // Queues the text the next text question returns; nothing means it is cancelled.
    void type(std::optional<QString> text) { m_texts.push_back(std::move(text)); }
    // Runs while the next question is on screen, before it is answered.
    void whileAsking(std::function<void()> action) { m_whileAsking = std::move(action); }

    Answer ask(const Message& message) override;
    std::optional<QString> chooseFile(const FileRequest& request) override;
    std::optional<QString> askText(const TextRequest& request) override;

    QList<Message> messages;
    QList<FileRequest> requests;
    QList<TextRequest> textRequests;
    int unscripted = 0; // questions or dialogs that came without a scripted reply

    QStringList texts() const;
    bool scriptUsedUp() const { return m_answers.empty() && m_paths.empty() && m_texts.empty(); }

private:
    std::deque<Answer> m_answers;
    std::deque<std::optional<QString>> m_paths;
    std::deque<std::optional<QString>> m_texts;
    std::function<void()> m_whileAsking;
};

// The messages as tests usually expect them.
Prompts::Message infoMessage(const QString& text);
Prompts::Message question(const QString& text, const QString& caption = QStringLiteral("Mobrin"));
