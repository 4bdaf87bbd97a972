// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppTitle.h"
#include "Prompts.h"

// What more than one command says.
namespace CommandTexts {

// A name the file dialog or a drop could not hand over byte for byte: it might lead to another
// file.
inline const QString kInexactName = QStringLiteral(
    "The name of this file cannot be read exactly!\r\nRename the file, then try again.");

inline const QString kSaveError = QStringLiteral("Error saving the file!");

// Why a patch was refused, and that the image is as it was.
inline QString patchRefused(const QString& problem) {
    return problem + QStringLiteral(" Nothing was patched.");
}

// A message about a failed write, with the system's reason on a line of its own when it gave
// one.
inline QString withReason(const QString& message, const QString& reason) {
    return reason.isEmpty() ? message : message + QStringLiteral("\r\n") + reason;
}

// The question before any patch of the image, name, description or icon; Cancel is the
// harmless default.
inline bool agreesToPatch(Prompts& prompts) {
    return prompts.ask({QStringLiteral("Patch the addin?"), appTitle(), Prompts::Icon::None,
                        Prompts::Buttons::OkCancel, Prompts::Answer::Cancel}) ==
           Prompts::Answer::Ok;
}

// Before a patched image gives way to another: "File is patched!", No as the default. True when
// nothing is patched or the user agreed to lose the changes.
inline bool agreesToDiscard(Prompts& prompts, bool patched) {
    return !patched ||
           prompts.ask({QStringLiteral("File is patched!\r\nDo you want to discard the changes?"),
                        appTitle(), Prompts::Icon::None, Prompts::Buttons::YesNo,
                        Prompts::Answer::No}) == Prompts::Answer::Yes;
}

} // namespace CommandTexts
