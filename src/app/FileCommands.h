#pragma once

#include "AddinImage.h"
#include "Prompts.h"

#include <functional>
#include <optional>

// Open, Save and Save As: every question and message in its order, with the file dialog's
// last choice remembered between commands. Works on values; the window applies the result.
class FileCommands {
public:
    explicit FileCommands(Prompts& prompts) : m_prompts(prompts) {}

    // Asks to discard a patched image, shows the open dialog and loads the chosen file.
    // `patched` is cleared once discarding is agreed (even if the dialog is then cancelled);
    // `pathChosen` runs as soon as the dialog has returned a name. The image comes back only
    // when the file was read in full; otherwise the caller keeps what it had.
    std::optional<AddinImage> open(bool& patched, const std::function<void()>& pathChosen);
    // Loads `path` as if it had been chosen in the open dialog.
    std::optional<AddinImage> openPath(const QString& path, bool& patched,
                                       const std::function<void()>& pathChosen);

    bool save(const AddinImage& image, bool& patched);
    bool saveAs(AddinImage& image, bool& patched);

    static std::vector<Prompts::FileFilter> filters();

private:
    bool askToDiscard(bool& patched);
    std::optional<AddinImage> load(const QString& path);
    bool write(const AddinImage& image, const QString& path, bool& patched);
    void tell(const QString& text);
    Prompts::Answer askYesNo(const QString& text);

    Prompts& m_prompts;
    QString m_lastChosen;
};
