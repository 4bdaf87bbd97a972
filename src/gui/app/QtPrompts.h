// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompts.h"

class QWidget;

// Real message boxes and file dialogs.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    // The window the dialogs belong to: they stand over it, and the focus comes back to it
    // when they close.
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer ask(const Message& message) override;
    std::optional<QString> chooseFile(const FileRequest& request) override;
    std::optional<QString> askText(const TextRequest& request) override;

private:
    // The window a question goes over: the parent, or its window that is active.
    QWidget* owner() const;

    QWidget* m_parent;
};
