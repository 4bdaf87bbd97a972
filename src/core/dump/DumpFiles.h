// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <optional>

// The two temporary files a rendering goes through, "~HEXtmp" and "~ASCtmp", in a folder of
// this running program's own (owner-only, removed when the program ends), so that an
// installed program works and two running copies never share them.
class DumpFiles {
public:
    struct Texts {
        QString hex;
        QString ascii;
    };

    static constexpr const char* kHexName = "~HEXtmp";
    static constexpr const char* kAsciiName = "~ASCtmp";

    // A private folder of its own.
    DumpFiles();
    // An existing folder chosen by the caller; nothing is removed from it but the two files.
    explicit DumpFiles(QString folder);
    ~DumpFiles();
    DumpFiles(const DumpFiles&) = delete;
    DumpFiles& operator=(const DumpFiles&) = delete;

    QString folder() const { return m_folder; }
    QString hexPath() const;
    QString asciiPath() const;

    // Writes both texts as single-byte text and reads them back as the panes will show them;
    // nothing when either file cannot be written or read, the system's reason in `reason`.
    std::optional<Texts> roundTrip(const QString& hex, const QString& ascii,
                                   QString* reason = nullptr) const;

private:
    std::unique_ptr<QTemporaryDir> m_owned;
    QString m_folder;
};
