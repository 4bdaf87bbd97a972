// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AddinComparison.h"
#include "FileChoice.h"
#include "RangeStep.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>

#include <optional>

class AddinDocument;
class ChangeTurn;
class DumpState;

// "Compare with...": the loaded image against a second file chosen in a dialog. It keeps the
// other file's bytes, so that a patch of the image compares again at once; opening another
// file ends the comparison. It highlights the differing bytes in the dump's state, and Next /
// Previous difference select them in turn through it.
class CompareCommands : public QObject {
    Q_OBJECT

public:
    CompareCommands(Prompts& prompts, const AddinDocument& document, DumpState& dump,
                    const ChangeTurn& turn, QObject* parent = nullptr);

    // Shows the file dialog and compares with the chosen file. A file that cannot be read is
    // refused with a message, and the comparison before it stays. True when it compared.
    bool compareWithChosen();
    // Compares with the file at `path`, as if it had been chosen in the dialog.
    bool compareWith(const QString& path);
    void end();

    bool isComparing() const { return m_comparison.has_value(); }
    const std::optional<AddinComparison>& comparison() const { return m_comparison; }
    // The comparison window's lines above its table of fields: the other file, where the files
    // differ (by structure: how many places in the header, the code and after it, and the
    // parts whose lengths differ; by position: how many bytes in how many runs, and the length
    // note), and whether any header field differs.
    QStringList summary() const;
    // Next difference (Forward) or Previous difference (Backward) from the selection: selects
    // the run and gives the status bar's note.
    QString step(RangeStep::Direction direction);

signals:
    // A comparison began, was made again after a patch, or ended.
    void changed();

private:
    void refuse(const QString& text);
    void compareAgain();
    void highlight();

    Prompts& m_prompts;
    const AddinDocument& m_document;
    DumpState& m_dump;
    QByteArray m_other;
    QString m_otherPath;
    FileChoice m_choice;
    std::optional<AddinComparison> m_comparison;
};
