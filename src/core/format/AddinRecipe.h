// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

// A new add-in from its assembled code and what goes around it, as `mobrin-cli build --code`
// and the window's "New add-in from code..." both make one: the same checks in the same order,
// with the same sentences. What `check` calls an error is refused, so that every add-in made
// this way is sound.
struct AddinRecipe {
    // Where a refusal comes from: a text that cannot be stored, parts that make no add-in (too
    // long), or an error `check` would find in the result.
    enum class Stage { Text, Parts, Check };
    struct Refusal {
        Stage stage = Stage::Text;
        QString sentence;
    };

    QByteArray code;
    std::optional<QString> classText; // nothing: "Addin"
    QString name;
    QString description;
    std::optional<QByteArray> icon; // 160 bytes; nothing: all white
    std::optional<quint16> word1;   // nothing: the code's length
    quint16 word2 = 0;
    bool pad = true; // up to 8192 bytes with 0xFF, as Open offers to

    std::variant<QByteArray, Refusal> make() const;
};
