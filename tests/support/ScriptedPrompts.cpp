// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedPrompts.h"

Prompts::Answer ScriptedPrompts::ask(const Message& message) {
    messages.append(message);
    if (m_whileAsking) {
        auto action = std::exchange(m_whileAsking, nullptr);
        action();
    }
    if (message.buttons == Buttons::Ok) {
        return Answer::Ok;
    }
    if (m_answers.empty()) {
        ++unscripted;
        return message.defaultButton;
    }
    const Answer reply = m_answers.front();
    m_answers.pop_front();
    return reply;
}

std::optional<QString> ScriptedPrompts::chooseFile(const FileRequest& request) {
    requests.append(request);
    if (m_paths.empty()) {
        ++unscripted;
        return std::nullopt;
    }
    // Read field by field: copying the optional<QString> whole trips a false
    // -Wmaybe-uninitialized in GCC 12's optimised builds.
    const bool cancelled = !m_paths.front().has_value();
    const QString path = m_paths.front().value_or(QString());
    m_paths.pop_front();
    if (cancelled) {
        return std::nullopt;
    }
    return path;
}

std::optional<QString> ScriptedPrompts::askText(const TextRequest& request) {
    textRequests.append(request);
    if (m_texts.empty()) {
        ++unscripted;
        return std::nullopt;
    }
    const bool cancelled = !m_texts.front().has_value();
    const QString text = m_texts.front().value_or(QString());
    m_texts.pop_front();
    if (cancelled) {
        return std::nullopt;
    }
    return text;
}

QStringList ScriptedPrompts::texts() const {
    QStringList result;
    for (const Message& message : messages) {
        result << message.text;
    }
    return result;
}

Prompts::Message infoMessage(const QString& text) {
    return {text, QStringLiteral("Mobrin"), Prompts::Icon::None, Prompts::Buttons::Ok,
            Prompts::Answer::Ok};
}

Prompts::Message question(const QString& text, const QString& caption) {
    return {text, caption, Prompts::Icon::None, Prompts::Buttons::YesNo, Prompts::Answer::No};
}
