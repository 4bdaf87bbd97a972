// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class CommandQueue;
class DumpView;
class MainActions;
class StatusPanels;

// The parts of the main window a feature's controller works with: the queue its commands run
// from, the menus whose keys its windows share, the dump and the status bar's note.
struct WindowParts {
    CommandQueue& queue;
    const MainActions& actions;
    DumpView& view;
    StatusPanels& status;
};
