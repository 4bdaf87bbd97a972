// SPDX-License-Identifier: GPL-3.0-or-later
#include "DumpPaneAccessible.h"

#include "DumpPane.h"
#include "PaneLines.h"

#include <algorithm>

namespace {

QAccessibleInterface* forDumpPane(const QString& className, QObject* object) {
    if (className == QLatin1String("DumpPane") && object && object->isWidgetType()) {
        return new DumpPaneAccessible(static_cast<DumpPane*>(object));
    }
    return nullptr;
}

PaneLines linesOf(const DumpPane& pane) {
    return {pane.columns(), pane.dumpLength()};
}

} // namespace

DumpPaneAccessible::DumpPaneAccessible(DumpPane* pane)
    : QAccessibleWidget(pane, QAccessible::EditableText), m_spokenText(textOf(*pane)) {}

void DumpPaneAccessible::install() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(forDumpPane);
    }
}

int DumpPaneAccessible::toText(const DumpPane& pane, int position) {
    return linesOf(pane).toDocument(position);
}

DumpPane* DumpPaneAccessible::pane() const {
    return static_cast<DumpPane*>(widget());
}

int DumpPaneAccessible::toPane(int offset) const {
    return qBound(0, linesOf(*pane()).toDump(offset), pane()->dumpLength());
}

QString DumpPaneAccessible::textOf(const DumpPane& pane) {
    return PaneLines::broken(pane.dumpText(), pane.columns());
}

QString DumpPaneAccessible::wholeText() const {
    return textOf(*pane());
}

DumpPaneAccessible* DumpPaneAccessible::of(DumpPane& pane) {
    if (!QAccessible::isActive()) {
        return nullptr;
    }
    return dynamic_cast<DumpPaneAccessible*>(QAccessible::queryAccessibleInterface(&pane));
}

void DumpPaneAccessible::caretMoved(DumpPane& pane) {
    if (!of(pane)) {
        return;
    }
    const int caret = toText(pane, pane.caretPosition());
    QAccessibleTextCursorEvent moved(&pane, caret);
    QAccessible::updateAccessibility(&moved);
    const int start = toText(pane, pane.selectionStart());
    QAccessibleTextSelectionEvent selected(
        &pane, start, toText(pane, pane.selectionStart() + pane.selectionLength()));
    selected.setCursorPosition(caret);
    QAccessible::updateAccessibility(&selected);
}

void DumpPaneAccessible::bytesChanged(DumpPane& pane, const ByteRange& range) {
    DumpPaneAccessible* accessible = of(pane);
    if (!accessible) {
        return;
    }
    const QString now = textOf(pane);
    const int dumpStart = pane.state().dumpStart();
    const int first =
        std::clamp((range.start - dumpStart) * pane.charsPerByte(), 0, pane.dumpLength());
    const int last =
        std::clamp((range.end() - dumpStart) * pane.charsPerByte(), first, pane.dumpLength());
    const int from = toText(pane, first);
    const int to = toText(pane, last);
    const QString& before = accessible->m_spokenText;
    const QString& old = before.size() == now.size() ? before : now;
    QAccessibleTextUpdateEvent updated(&pane, from, old.mid(from, to - from),
                                       now.mid(from, to - from));
    QAccessible::updateAccessibility(&updated);
    accessible->m_spokenText = now;
}

void DumpPaneAccessible::textReplaced(DumpPane& pane) {
    if (DumpPaneAccessible* accessible = of(pane)) {
        accessible->m_spokenText = textOf(pane);
    }
}

void* DumpPaneAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State DumpPaneAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

QString DumpPaneAccessible::text(QAccessible::Text which) const {
    if (which == QAccessible::Value) {
        return wholeText();
    }
    return QAccessibleWidget::text(which);
}

void DumpPaneAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || pane()->selectionLength() == 0) {
        return;
    }
    *startOffset = toText(*pane(), pane()->selectionStart());
    *endOffset = toText(*pane(), pane()->selectionStart() + pane()->selectionLength());
}

int DumpPaneAccessible::selectionCount() const {
    return pane()->selectionLength() > 0 ? 1 : 0;
}

void DumpPaneAccessible::addSelection(int startOffset, int endOffset) {
    setSelection(0, startOffset, endOffset);
}

void DumpPaneAccessible::removeSelection(int /*selectionIndex*/) {
    setCursorPosition(cursorPosition());
}

void DumpPaneAccessible::setSelection(int /*selectionIndex*/, int startOffset, int endOffset) {
    const int start = toPane(qMin(startOffset, endOffset));
    pane()->select(start, toPane(qMax(startOffset, endOffset)) - start);
}

int DumpPaneAccessible::cursorPosition() const {
    return toText(*pane(), pane()->caretPosition());
}

void DumpPaneAccessible::setCursorPosition(int position) {
    pane()->select(toPane(position), 0);
}

QString DumpPaneAccessible::text(int startOffset, int endOffset) const {
    const QString all = wholeText();
    if (endOffset < 0 || endOffset > all.size()) {
        endOffset = int(all.size());
    }
    startOffset = qBound(0, startOffset, endOffset);
    return all.mid(startOffset, endOffset - startOffset);
}

int DumpPaneAccessible::characterCount() const {
    const int length = pane()->dumpLength();
    return length + qMax(0, linesOf(*pane()).lineCount() - 1);
}

QRect DumpPaneAccessible::characterRect(int offset) const {
    const QRect cell = pane()->characterRect(toPane(offset));
    return {pane()->viewport()->mapToGlobal(cell.topLeft()), cell.size()};
}

int DumpPaneAccessible::offsetAtPoint(const QPoint& point) const {
    const QPoint local = pane()->viewport()->mapFromGlobal(point);
    if (!pane()->viewport()->rect().contains(local)) {
        return -1;
    }
    return toText(*pane(), pane()->positionAt(local));
}

void DumpPaneAccessible::scrollToSubstring(int startIndex, int /*endIndex*/) {
    pane()->select(toPane(startIndex), 0);
}

QString DumpPaneAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = offset;
    return {};
}
