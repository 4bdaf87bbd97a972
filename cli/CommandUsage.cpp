// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandUsage.h"

#include "CliOutput.h"

#include <QStringList>

namespace {

constexpr qsizetype kLineWidth = 80;
// Where the overview's summaries start; a form that reaches this far has its summary below.
constexpr qsizetype kSummaryColumn = 41;

using Shown = CommandUsage::Form::Shown;

// A synopsis in the pieces a line may break between: the command (with its first argument),
// then each option, bracketed or not, with its value.
QStringList piecesOf(const QString& synopsis) {
    QStringList pieces{QString()};
    int depth = 0;
    for (qsizetype i = 0; i < synopsis.size(); ++i) {
        const QChar c = synopsis[i];
        depth += c == u'[' ? 1 : c == u']' ? -1 : 0;
        const QChar next = i + 1 < synopsis.size() ? synopsis[i + 1] : QChar();
        if (c == u' ' && depth == 0 && (next == u'[' || next == u'-')) {
            pieces.append(QString());
        } else {
            pieces.last().append(c);
        }
    }
    return pieces;
}

// `lead` and the synopsis in lines of at most kLineWidth characters; a continued line starts
// under the first option.
QString wrapped(const QString& lead, const char* synopsis) {
    const QStringList pieces = piecesOf(QLatin1String(synopsis));
    QString text = lead + pieces.first();
    const QString indent(text.size() + 1, u' ');
    qsizetype lineStart = 0;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        if (text.size() - lineStart + 1 + pieces[i].size() > kLineWidth) {
            text += u'\n';
            lineStart = text.size();
            text += indent;
        } else {
            text += u' ';
        }
        text += pieces[i];
    }
    return text;
}

} // namespace

QString CommandUsage::help() const {
    QString text;
    for (const Form& form : forms) {
        if (form.shown != Shown::InOverview) {
            const QString lead = text.isEmpty() ? QStringLiteral("Usage: ") : QString(7, u' ');
            text += wrapped(lead + CliOutput::kProgram + u' ', form.synopsis) + u'\n';
        }
    }
    return text + u'\n' + QLatin1String(details);
}

QString CommandUsage::overview() const {
    QString text;
    for (const Form& form : forms) {
        if (form.shown == Shown::InHelp) {
            continue;
        }
        text += wrapped(QStringLiteral("  "), form.synopsis);
        const qsizetype lastLine = text.size() - (text.lastIndexOf(u'\n') + 1);
        const QStringList summary = QString::fromLatin1(form.summary).split(u'\n');
        for (qsizetype i = 0; i < summary.size(); ++i) {
            const bool beside = i == 0 && lastLine + 2 <= kSummaryColumn;
            text += beside ? QString(kSummaryColumn - lastLine, u' ')
                           : u'\n' + QString(kSummaryColumn, u' ');
            text += summary[i];
        }
        text += u'\n';
    }
    return text;
}
