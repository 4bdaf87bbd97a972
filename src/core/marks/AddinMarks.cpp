// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddinMarks.h"

#include <QCryptographicHash>

#include <algorithm>
#include <tuple>

namespace {

constexpr int kDigestDigits = 8;

auto orderOf(const Mark& mark) {
    return std::make_tuple(mark.start, mark.type, mark.end, mark.text);
}

} // namespace

int AddinMarks::unplacedCount() const {
    return int(std::count_if(m_marks.cbegin(), m_marks.cend(),
                             [](const Mark& mark) { return !mark.placed; }));
}

void AddinMarks::insert(Mark mark) {
    const auto at =
        std::upper_bound(m_marks.begin(), m_marks.end(), mark,
                         [](const Mark& a, const Mark& b) { return orderOf(a) < orderOf(b); });
    m_marks.insert(at, std::move(mark));
}

void AddinMarks::add(Mark mark) {
    insert(std::move(mark));
}

bool AddinMarks::setKind(int start, int end, std::optional<CodeKind> kind) {
    const QList<Mark> before = m_marks;
    QList<Mark> pieces;
    m_marks.removeIf([&](const Mark& mark) {
        if (mark.type != Mark::Type::Kind || mark.end <= start || mark.start >= end) {
            return false;
        }
        // What is left of a mark that applies still applies; one whose bytes changed cannot
        // be cut, as its digest covers the whole of it.
        if (mark.placed) {
            for (const auto& [from, to] :
                 {std::pair(mark.start, start), std::pair(end, mark.end)}) {
                if (from < to) {
                    Mark piece = mark;
                    piece.start = from;
                    piece.end = to;
                    piece.digest.clear();
                    pieces.append(piece);
                }
            }
        }
        return true;
    });
    for (Mark& piece : pieces) {
        insert(std::move(piece));
    }
    if (kind) {
        insert(Mark::ofKind(*kind, start, end));
    }
    joinKinds();
    return m_marks != before;
}

void AddinMarks::joinKinds() {
    QList<Mark> joined;
    joined.reserve(m_marks.size());
    qsizetype lastKind = -1;
    for (Mark& mark : m_marks) {
        if (mark.type == Mark::Type::Kind) {
            Mark* last = lastKind < 0 ? nullptr : &joined[lastKind];
            if (last && last->placed && mark.placed && last->kind == mark.kind &&
                last->end == mark.start) {
                last->end = mark.end;
                last->digest.clear();
                last->remarks += mark.remarks;
                continue;
            }
            lastKind = joined.size();
        }
        joined.append(std::move(mark));
    }
    m_marks = std::move(joined);
}

bool AddinMarks::setPoint(Mark::Type type, int address, const QString& text) {
    const QList<Mark> before = m_marks;
    QStringList remarks;
    m_marks.removeIf([&](const Mark& mark) {
        if (mark.type == type && mark.start == address) {
            remarks = mark.remarks;
            return true;
        }
        return false;
    });
    if (!text.isEmpty()) {
        Mark mark = Mark::point(type, address, text);
        mark.remarks = remarks;
        insert(std::move(mark));
    }
    return m_marks != before;
}

bool AddinMarks::setLabel(int address, const QString& name) {
    return setPoint(Mark::Type::Label, address, name);
}

bool AddinMarks::setComment(int address, const QString& text) {
    return setPoint(Mark::Type::Comment, address, text);
}

bool AddinMarks::setBookmark(int start, int end, const QString& note) {
    if (const Mark* old = find(Mark::Type::Bookmark, start, end); old && old->text == note) {
        return false;
    }
    QStringList remarks;
    if (const Mark* old = find(Mark::Type::Bookmark, start, end)) {
        remarks = old->remarks;
        removeBookmark(start, end);
    }
    Mark mark = Mark::bookmark(start, end, note);
    mark.remarks = remarks;
    insert(std::move(mark));
    return true;
}

bool AddinMarks::removeBookmark(int start, int end) {
    return m_marks.removeIf([&](const Mark& mark) {
        return mark.type == Mark::Type::Bookmark && mark.start == start && mark.end == end;
    }) > 0;
}

const Mark* AddinMarks::find(Mark::Type type, int address, int end) const {
    for (const Mark& mark : m_marks) {
        if (mark.type == type && mark.start == address && (end < 0 || mark.end == end)) {
            return &mark;
        }
    }
    return nullptr;
}

const Mark* AddinMarks::labelNamed(const QString& name) const {
    for (const Mark& mark : m_marks) {
        if (mark.type == Mark::Type::Label && mark.text == name) {
            return &mark;
        }
    }
    return nullptr;
}

QString AddinMarks::digestOf(QByteArrayView image, int codeStart, const Mark& mark) {
    const int from = offsetOf(mark.start, codeStart);
    int to = offsetOf(mark.spanEnd(), codeStart);
    if (!mark.isRange()) {
        // A point at the file's last bytes covers what is there.
        to = std::min(to, int(image.size()));
    }
    if (from < 0 || from >= to || to > image.size()) {
        return {};
    }
    const QByteArray hash =
        QCryptographicHash::hash(image.sliced(from, to - from), QCryptographicHash::Sha256);
    return QString::fromLatin1(hash.toHex().left(kDigestDigits));
}

int AddinMarks::place(QByteArrayView image, int codeStart) {
    for (Mark& mark : m_marks) {
        mark.placed = mark.digest.isEmpty() || digestOf(image, codeStart, mark) == mark.digest;
    }
    return unplacedCount();
}

CodeMarks AddinMarks::codeMarks(int codeStart, int imageSize) const {
    CodeMarks marks;
    for (const Mark& mark : m_marks) {
        const int at = offsetOf(mark.start, codeStart);
        // A range is cut to the code; a point outside it applies nowhere.
        const int start = mark.isRange() ? std::max(at, codeStart) : at;
        const int end = std::min(offsetOf(mark.end, codeStart), imageSize);
        if (!mark.placed || start < codeStart || start >= end) {
            continue;
        }
        switch (mark.type) {
        case Mark::Type::Kind:
            marks.kinds.append({start, end, mark.kind});
            break;
        case Mark::Type::Label:
            marks.names.insert(start, mark.text);
            break;
        case Mark::Type::Comment:
            marks.comments.insert(start, mark.text);
            break;
        case Mark::Type::Bookmark:
            break;
        }
    }
    return marks;
}
