// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Every question, message and file dialog of the program goes through this interface: the
// program answers it with real dialogs, tests with scripted replies.
class Prompts {
public:
    enum class Icon { None, Question, Information, Warning, Critical };
    enum class Buttons { Ok, YesNo, OkCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    struct Message {
        QString text;
        QString caption;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        Answer defaultButton = Answer::Ok;

        bool operator==(const Message&) const = default;
    };

    struct FileFilter {
        QString description; // as listed, e.g. "REX add ins (*.rex)"
        QStringList patterns;

        bool operator==(const FileFilter&) const = default;
    };

    struct FileRequest {
        enum class Kind { Open, Save };
        Kind kind = Kind::Open;
        QString caption; // the dialog's title; empty for the toolkit's own
        QString initialName;
        std::vector<FileFilter> filters;
        bool mustExist = false;        // open: the file must exist
        bool confirmOverwrite = false; // save: ask before replacing an existing file

        bool operator==(const FileRequest&) const = default;
    };

    // A line of text to type, such as a byte value.
    struct TextRequest {
        QString caption;
        QString label; // what to type, above the field
        QString text;  // what the field holds at first

        bool operator==(const TextRequest&) const = default;
    };

    Prompts() = default;
    Prompts(const Prompts&) = delete;
    Prompts& operator=(const Prompts&) = delete;
    virtual ~Prompts() = default;

    virtual Answer ask(const Message& message) = 0;
    // A message with only an OK button.
    void tell(const QString& text, const QString& caption) {
        ask({text, caption, Icon::None, Buttons::Ok, Answer::Ok});
    }
    // The chosen path, or nothing when the dialog was cancelled.
    virtual std::optional<QString> chooseFile(const FileRequest& request) = 0;
    // The text typed, or nothing when the question was cancelled.
    virtual std::optional<QString> askText(const TextRequest& request) = 0;
};
