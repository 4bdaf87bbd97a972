// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinDocument.h"
#include "ChangeTurn.h"

#include <QObject>

#include <memory>

class CommandQueue;
class DumpState;
class FieldCommands;
class FileCommands;
class HeaderArea;
class IconCommands;
class Prompts;

// The header area's commands: patches of the name and description when their boxes are left,
// "Strip header", the icon replaced from a dialog or a drop, and File > Properties. The area
// shows the header again once a turn of changes is over; a header an Open left incomplete is
// named in a message, after the command that opened it.
class HeaderController : public QObject {
    Q_OBJECT

public:
    struct Parts {
        Prompts& prompts;
        AddinDocument& document;
        DumpState& dump;
        CommandQueue& queue;
        FileCommands& files;
        const ChangeTurn& turn;
    };

    HeaderController(const Parts& parts, HeaderArea& area, QObject* parent = nullptr);
    ~HeaderController() override;

    // Ends the edits of the name and description boxes, asking about each changed text.
    void finishEdits();
    // Shows the header; names what is missing from an incomplete one.
    void showProperties();

signals:
    // A double-click on the icon.
    void iconCodeRequested();

private:
    void finishEdit(AddinDocument::Field field);
    void follow(const ChangeTurn::Changes& changes);
    void connectArea();

    Parts m_parts;
    HeaderArea& m_area;
    std::unique_ptr<FieldCommands> m_fields;
    std::unique_ptr<IconCommands> m_icons;
    int m_shownCodeSize = -1;
};
