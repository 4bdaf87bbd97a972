#include "FileCommands.h"

#include "AppTitle.h"

namespace {

const QString kOpenError = QStringLiteral("Error opening file!!");
const QString kSaveError = QStringLiteral("Error saving the file!");

} // namespace

std::vector<Prompts::FileFilter> FileCommands::filters() {
    return {
        {QStringLiteral("All add in types (*.rex;*.DS2)"),
         {QStringLiteral("*.rex"), QStringLiteral("*.DS2")}},
        {QStringLiteral("REX add ins (*.rex)"), {QStringLiteral("*.rex")}},
        {QStringLiteral("DataSlim2 add ins (*.DS2)"), {QStringLiteral("*.DS2")}},
        {QStringLiteral("All files (*.*)"), {QStringLiteral("*")}},
    };
}

void FileCommands::tell(const QString& text) {
    m_prompts.tell(text, appTitle());
}

// Questions that could lose data default to the harmless No.
Prompts::Answer FileCommands::askYesNo(const QString& text) {
    return m_prompts.ask(
        {text, appTitle(), Prompts::Icon::None, Prompts::Buttons::YesNo, Prompts::Answer::No});
}

bool FileCommands::askToDiscard(bool& patched) {
    if (patched) {
        if (askYesNo(QStringLiteral("File is patched!\r\nDo you want to discard the changes?")) !=
            Prompts::Answer::Yes) {
            return false;
        }
    }
    patched = false;
    return true;
}

std::optional<AddinImage> FileCommands::open(bool& patched,
                                             const std::function<void()>& pathChosen) {
    if (!askToDiscard(patched)) {
        return std::nullopt;
    }
    Prompts::FileRequest request;
    request.kind = Prompts::FileRequest::Kind::Open;
    request.initialName = m_lastChosen;
    request.filters = filters();
    request.mustExist = true;
    const std::optional<QString> path = m_prompts.chooseFile(request);
    if (!path) {
        return std::nullopt;
    }
    m_lastChosen = *path;
    if (pathChosen) {
        pathChosen();
    }
    if (path->isEmpty()) {
        return std::nullopt;
    }
    return load(*path);
}

std::optional<AddinImage> FileCommands::openPath(const QString& path, bool& patched,
                                                 const std::function<void()>& pathChosen) {
    if (!askToDiscard(patched)) {
        return std::nullopt;
    }
    m_lastChosen = path;
    if (pathChosen) {
        pathChosen();
    }
    return load(path);
}

std::optional<AddinImage> FileCommands::load(const QString& path) {
    // Nothing is padded or read until the file is known to be a regular file of a fitting
    // size: a FIFO or a directory would block or fail half-way.
    const AddinImage::Probe probe = AddinImage::probe(path);
    if (probe.outcome == AddinImage::ProbeOutcome::TooLong) {
        tell(QStringLiteral("File is too long!"));
        return std::nullopt;
    }
    if (probe.outcome != AddinImage::ProbeOutcome::Ok) {
        tell(kOpenError);
        return std::nullopt;
    }
    qint64 padding = 0;
    if (probe.size < AddinImage::kPaddedSize) {
        if (askYesNo(QStringLiteral("File is less than 8K!\r\nPad it to 8K?")) ==
            Prompts::Answer::Yes) {
            padding = AddinImage::paddingFor(probe.size);
        }
    }
    if (padding > 0 && !AddinImage::padOnDisk(path, probe.size)) {
        tell(kOpenError);
        return std::nullopt;
    }
    const qint64 length = probe.size + padding;
    std::optional<QByteArray> bytes =
        length > 0 ? AddinImage::readFile(path, length) : std::nullopt;
    if (!bytes) {
        tell(kOpenError);
        return std::nullopt;
    }
    return AddinImage(std::move(*bytes), path);
}

bool FileCommands::write(const AddinImage& image, const QString& path, bool& patched) {
    if (!image.isLoaded() || !AddinImage::writeFile(path, image.bytes())) {
        tell(kSaveError);
        return false;
    }
    patched = false;
    return true;
}

bool FileCommands::save(const AddinImage& image, bool& patched) {
    return write(image, image.path(), patched);
}

bool FileCommands::saveAs(AddinImage& image, bool& patched) {
    if (!image.isLoaded()) {
        tell(kSaveError);
        return false;
    }
    Prompts::FileRequest request;
    request.kind = Prompts::FileRequest::Kind::Save;
    request.initialName = m_lastChosen;
    request.filters = filters();
    request.confirmOverwrite = true;
    const std::optional<QString> path = m_prompts.chooseFile(request);
    if (!path || path->isEmpty()) {
        return false;
    }
    m_lastChosen = *path;
    // The new name holds from here on, so that a failed write is retried there by Save.
    image.setPath(*path);
    return write(image, *path, patched);
}
