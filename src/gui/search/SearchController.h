// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RangeStep.h"
#include "WindowParts.h"

#include <QObject>
#include <QPointer>

#include <memory>

class AddinDocument;
class DumpState;
class FindBox;
class FindCommands;
class GoToBox;
class QWidget;

// The Search menu's Find and Go to: their boxes, and what each search says. A hit or a place
// gone to is selected through the dump's state, which every view follows.
class SearchController : public QObject {
    Q_OBJECT

public:
    SearchController(const AddinDocument& document, DumpState& dump, const WindowParts& parts,
                     QWidget& owner);
    ~SearchController() override;

    void showFind();
    // Find next (Forward) or previous (Backward) with what the find box holds.
    void find(RangeStep::Direction direction);
    void showGoTo();

private:
    void goTo();

    WindowParts m_parts;
    QWidget& m_owner;
    std::unique_ptr<FindCommands> m_finds;
    QPointer<FindBox> m_findBox;
    QPointer<GoToBox> m_goToBox;
};
