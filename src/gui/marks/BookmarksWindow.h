// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRange.h"

#include <QWidget>

class AddinDocument;
class ChangeTurn;
class QListWidget;

// The author's bookmarks, one a line by address with its note, in step with the marks.
// Enter or a double-click goes to the bookmark's bytes; Delete takes it away. A window of the
// main window's, not modal; it destroys itself when closed.
class BookmarksWindow : public QWidget {
    Q_OBJECT

public:
    BookmarksWindow(const AddinDocument& document, const ChangeTurn& turn,
                    QWidget* parent = nullptr);

    QListWidget* list() const { return m_list; }

signals:
    // File offsets of the bookmark's bytes.
    void goToRequested(ByteRange range);
    void removeRequested(ByteRange range);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    ByteRange currentRange() const;

    const AddinDocument& m_document;
    QListWidget* m_list;
};
