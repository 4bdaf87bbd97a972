// SPDX-License-Identifier: GPL-3.0-or-later
#include "NewAddinCommands.h"

#include "AddinDocument.h"
#include "AddinImage.h"
#include "AddinRecipe.h"
#include "CommandTexts.h"
#include "FileChoice.h"
#include "IconCommands.h"
#include "IconPicture.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The code as `build --code` reads it: any regular file up to 64 KiB; too long a code is then
// refused by the recipe with its length.
std::optional<QByteArray> readCode(const QString& path, QString& problem) {
    const AddinImage::Probe probe = AddinImage::probe(path);
    const bool regular = probe.outcome == AddinImage::ProbeOutcome::Ok ||
                         probe.outcome == AddinImage::ProbeOutcome::TooLong;
    if (!regular || probe.size > AddinImage::kMaxPartSize) {
        problem = probe.outcome == AddinImage::ProbeOutcome::Missing
                      ? QStringLiteral("The code file cannot be read: %1.")
                            .arg(qt_error_string(probe.error))
                      : QStringLiteral("The code file must be a regular file of at most %1 "
                                       "bytes.")
                            .arg(AddinImage::kMaxPartSize);
        return std::nullopt;
    }
    if (probe.size == 0) {
        return QByteArray();
    }
    std::optional<QByteArray> bytes = AddinImage::readFile(path, probe.size);
    if (!bytes) {
        problem = QStringLiteral("The code file cannot be read.");
    }
    return bytes;
}

// A sentence of the recipe's, as the window says it: with a capital and a full stop.
QString sentence(const QString& text) {
    QString said = text;
    if (!said.isEmpty()) {
        said[0] = said[0].toUpper();
        if (!said.endsWith(QLatin1Char('.'))) {
            said.append(QLatin1Char('.'));
        }
    }
    return said;
}

} // namespace

NewAddinCommands::NewAddinCommands(Prompts& prompts, AddinDocument& document)
    : m_prompts(prompts), m_document(document) {}

std::optional<QString> NewAddinCommands::choose(const QString& caption, const QString& current,
                                                std::vector<Prompts::FileFilter> filters) {
    std::optional<QString> path =
        FileChoice(m_prompts).chooseToOpen(caption, std::move(filters), current);
    if (!path || path->isEmpty()) {
        return std::nullopt;
    }
    return path;
}

std::optional<QString> NewAddinCommands::chooseCode(const QString& current) {
    return choose(QStringLiteral("Assembled code"), current,
                  {{QStringLiteral("Assembled code (*.bin)"), {QStringLiteral("*.bin")}},
                   FileChoice::allFiles()});
}

std::optional<QString> NewAddinCommands::chooseIcon(const QString& current) {
    return choose(QStringLiteral("Icon picture"), current, IconCommands::filters());
}

NewAddinCommands::Outcome NewAddinCommands::create(const Fields& fields) {
    if (fields.codePath.isEmpty()) {
        return {QStringLiteral("Choose the file of assembled code."), false};
    }
    AddinRecipe recipe;
    QString problem;
    const std::optional<QByteArray> code = readCode(fields.codePath, problem);
    if (!code) {
        return {problem, false};
    }
    recipe.code = *code;
    recipe.classText = fields.classText;
    recipe.name = fields.name;
    recipe.description = fields.description;
    recipe.pad = fields.pad;
    if (!fields.iconPath.isEmpty()) {
        const IconPicture picture = IconPicture::fromFile(fields.iconPath);
        if (!picture.converted()) {
            return {picture.problem, false};
        }
        recipe.icon = picture.icon;
    }
    auto made = recipe.make();
    if (const auto* refusal = std::get_if<AddinRecipe::Refusal>(&made)) {
        return {sentence(refusal->sentence), false};
    }
    if (!CommandTexts::agreesToDiscard(m_prompts, m_document.isPatched())) {
        return {{}, false};
    }
    const QFileInfo codeFile(fields.codePath);
    m_suggested = codeFile.dir().filePath(codeFile.completeBaseName() + QLatin1String(".rex"));
    m_document.create(std::get<QByteArray>(std::move(made)));
    return {{}, true};
}
