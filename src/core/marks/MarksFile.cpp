// SPDX-License-Identifier: GPL-3.0-or-later
#include "MarksFile.h"

#include "LabelName.h"
#include "NumberForm.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

const QString kHeadLine = QStringLiteral("# Mobrin marks, one a line: see mobrin(5).");
constexpr QChar kAnyBytes = u'-';
constexpr int kDigestDigits = 8;
// "bookmark" and "pointers", the longest first words, then a space.
constexpr int kWordWidth = 9;

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The line's fields: the first `count` words, then the rest of the line (trimmed) if any.
struct Fields {
    QStringList words;
    QString rest;
};

Fields fieldsOf(QStringView line, int count) {
    Fields fields;
    qsizetype at = 0;
    while (fields.words.size() < count) {
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        if (at == line.size()) {
            return fields;
        }
        const qsizetype start = at;
        while (at < line.size() && !isBlank(line[at])) {
            ++at;
        }
        fields.words << line.sliced(start, at - start).toString();
    }
    fields.rest = line.sliced(at).trimmed().toString();
    return fields;
}

QString addressText(int address) {
    return NumberForm::hexWord(address);
}

// A sentence of the program's as a reason after "line 7: ".
QString asReason(const QString& sentence) {
    QString reason = sentence.chopped(1);
    reason[0] = reason[0].toLower();
    return reason;
}

// Reads one mark's line into `mark`; the reason it is bad, or nothing.
class LineReader {
public:
    explicit LineReader(Mark& mark) : m_mark(mark) {}

    QString read(QStringView line) {
        const Fields first = fieldsOf(line, 1);
        const QString word = first.words.value(0).toLower();
        const auto kind = CodeKinds::parse(word);
        if (kind && *kind != CodeKind::Padding) {
            m_mark.type = Mark::Type::Kind;
            m_mark.kind = *kind;
        } else if (word == QLatin1String("label")) {
            m_mark.type = Mark::Type::Label;
        } else if (word == QLatin1String("comment")) {
            m_mark.type = Mark::Type::Comment;
        } else if (word == QLatin1String("bookmark")) {
            m_mark.type = Mark::Type::Bookmark;
        } else {
            return QStringLiteral("\"%1\" is no mark: a line starts with code, text, bytes, "
                                  "words, pointers, label, comment or bookmark")
                .arg(first.words.value(0));
        }
        const bool range = m_mark.isRange();
        const int count = range ? 4 : 3;
        const Fields fields = fieldsOf(line, count);
        if (fields.words.size() < count) {
            return QStringLiteral("%1 takes %2 then a digest of its bytes")
                .arg(word, range ? QStringLiteral("a first address and the address after the "
                                                  "range")
                                 : QStringLiteral("an address"));
        }
        if (QString problem = readAddresses(fields.words, range); !problem.isEmpty()) {
            return problem;
        }
        if (QString problem = readDigest(fields.words.at(count - 1)); !problem.isEmpty()) {
            return problem;
        }
        return readText(fields.rest);
    }

private:
    QString readAddresses(const QStringList& words, bool range) {
        for (int i = 1; i <= (range ? 2 : 1); ++i) {
            const auto address = NumberForm::parseWord(words.at(i));
            if (!address) {
                return QStringLiteral("\"%1\" is no address: write it as $9113").arg(words.at(i));
            }
            (i == 1 ? m_mark.start : m_mark.end) = *address;
        }
        if (!range) {
            m_mark.end = m_mark.start + 1;
        } else if (m_mark.end <= m_mark.start) {
            return QStringLiteral("the range %1 %2 ends before it starts: the second address is "
                                  "the one after the range")
                .arg(words.at(1), words.at(2));
        }
        return {};
    }

    QString readDigest(const QString& digest) {
        if (digest == kAnyBytes) {
            return {};
        }
        const bool hex = digest.size() == kDigestDigits &&
                         std::all_of(digest.cbegin(), digest.cend(), [](QChar c) {
                             return NumberForm::hexDigitValue(c.unicode()) >= 0;
                         });
        if (!hex) {
            return QStringLiteral("\"%1\" is no digest: 8 hex digits, or - for any bytes")
                .arg(digest);
        }
        m_mark.digest = digest.toLower();
        return {};
    }

    QString readText(const QString& text) {
        switch (m_mark.type) {
        case Mark::Type::Kind:
            return text.isEmpty() ? QString()
                                  : QStringLiteral("a kind takes nothing after its digest");
        case Mark::Type::Label:
            if (text.isEmpty()) {
                return QStringLiteral("the label needs a name after its digest");
            }
            if (QString problem = LabelName::problem(text, quint16(m_mark.start));
                !problem.isEmpty()) {
                return asReason(problem);
            }
            break;
        case Mark::Type::Comment:
            if (text.isEmpty()) {
                return QStringLiteral("the comment needs a text after its digest");
            }
            break;
        case Mark::Type::Bookmark:
            break;
        }
        if (QString problem = MarksFile::textProblem(text); !problem.isEmpty()) {
            return asReason(problem);
        }
        m_mark.text = text;
        return {};
    }

    Mark& m_mark;
};

// Why `mark` cannot join the marks read before it (each with its line); empty when it can.
QString clash(const Mark& mark, const QList<std::pair<Mark, int>>& read) {
    for (const auto& [other, line] : read) {
        QString what;
        if (mark.type == Mark::Type::Kind && other.type == Mark::Type::Kind &&
            mark.start < other.end && other.start < mark.end) {
            what = QStringLiteral("overlaps the %1 range").arg(other.word());
        } else if (mark.type == other.type && mark.start == other.start &&
                   (mark.type == Mark::Type::Label || mark.type == Mark::Type::Comment)) {
            what = QStringLiteral("a second %1 at %2").arg(mark.word(), addressText(mark.start));
        } else if (mark.type == Mark::Type::Label && other.type == Mark::Type::Label &&
                   mark.text == other.text) {
            what = QStringLiteral("the name %1 is given at %2 already")
                       .arg(mark.text, addressText(other.start));
        } else if (mark.type == Mark::Type::Bookmark && other.type == Mark::Type::Bookmark &&
                   mark.start == other.start && mark.end == other.end) {
            what = QStringLiteral("a second bookmark of the same range");
        }
        if (!what.isEmpty()) {
            return what + QStringLiteral(" (line %1)").arg(line);
        }
    }
    return {};
}

} // namespace

namespace MarksFile {

QString Problem::sentence() const {
    return QStringLiteral("line %1: %2").arg(line).arg(reason);
}

QString textProblem(const QString& text) {
    const bool control = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    });
    return control ? QStringLiteral("A comment or note is one line: it cannot hold a line break, a "
                                    "tab or another control character.")
                   : QString();
}

Parsed parse(QByteArrayView text) {
    Parsed parsed;
    QList<std::pair<Mark, int>> read;
    QStringList remarks;
    int number = 0;
    for (QByteArrayView rest = text; !rest.isEmpty() || number == 0;) {
        ++number;
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView bytes = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (bytes.endsWith('\r')) {
            bytes.chop(1);
        }
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString line = utf8.decode(bytes);
        if (utf8.hasError()) {
            parsed.problems.append({number, QStringLiteral("the line is not UTF-8 text")});
            continue;
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            continue;
        }
        if (trimmed.startsWith(u'#')) {
            // Mobrin's own first line is written afresh each time.
            if (trimmed != kHeadLine || !read.isEmpty() || !remarks.isEmpty()) {
                remarks << trimmed;
            }
            continue;
        }
        Mark mark;
        QString problem = LineReader(mark).read(trimmed);
        if (problem.isEmpty()) {
            problem = clash(mark, read);
        }
        if (!problem.isEmpty()) {
            parsed.problems.append({number, problem});
            continue;
        }
        mark.remarks = std::exchange(remarks, {});
        read.append({mark, number});
    }
    for (auto& [mark, line] : read) {
        parsed.marks.add(std::move(mark));
    }
    parsed.marks.setClosingRemarks(remarks);
    return parsed;
}

QByteArray write(const AddinMarks& marks, QByteArrayView image, int codeStart) {
    if (marks.isEmpty()) {
        return {};
    }
    QString text = kHeadLine + QLatin1Char('\n');
    for (const Mark& mark : marks.marks()) {
        for (const QString& remark : mark.remarks) {
            text += remark + QLatin1Char('\n');
        }
        const QString digest =
            mark.placed ? AddinMarks::digestOf(image, codeStart, mark) : mark.digest;
        text += lineOf(mark, digest.isEmpty() ? mark.digest : digest) + QLatin1Char('\n');
    }
    for (const QString& remark : marks.closingRemarks()) {
        text += remark + QLatin1Char('\n');
    }
    return text.toUtf8();
}

QString lineOf(const Mark& mark, const QString& digest) {
    QString line =
        mark.word().leftJustified(kWordWidth - 1) + QLatin1Char(' ') + addressText(mark.start);
    if (mark.isRange()) {
        line += QLatin1Char(' ') + addressText(mark.end);
    }
    line += QLatin1Char(' ') + (digest.isEmpty() ? QString(kAnyBytes) : digest);
    if (!mark.text.isEmpty()) {
        line += QLatin1Char(' ') + mark.text;
    }
    return line;
}

QString besidePath(const QString& addinPath) {
    return addinPath + QStringLiteral(".marks");
}

} // namespace MarksFile
