#pragma once

#include <QPlainTextEdit>

// One dump pane: read-only, selectable and copyable, with a keyboard caret. Its width is made
// from the font so that Qt's own wrapping breaks every visual line after exactly `columns`
// characters; its height shows `lines` visual lines.
class DumpPane : public QPlainTextEdit {
    Q_OBJECT

public:
    enum class Wrap { AtSpaces, Anywhere };
    // Blank space between the frame and the text, outside the scrolled area.
    static constexpr int kInset = 3;

    DumpPane(int columns, Wrap wrap, QWidget* parent = nullptr);

    int columns() const { return m_columns; }
    // Sizes the pane for `font`: exactly `columns` characters a line and `lines` lines in view.
    void fitTo(const QFont& font, int lines);
    // The distance between two visual lines in `font`.
    static qreal linePitch(const QFont& font);

    // The character at the top-left corner of the text area.
    int firstVisibleChar() const;
    void scrollByLines(int lines);

    int selectionStart() const;
    int selectionLength() const;
    // Selects `length` characters from `start` (both clamped to the text).
    void select(int start, int length);

signals:
    void focusGained();
    void pointerMoved();

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    int m_columns;
};
