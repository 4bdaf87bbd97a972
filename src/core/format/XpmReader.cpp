// SPDX-License-Identifier: GPL-3.0-or-later
#include "XpmReader.h"

#include "IconRaster.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

namespace {

const QString kFormat = QStringLiteral("XPM");
// What Qt's reader takes at most: characters a pixel, colours.
constexpr qint64 kMaxCharacters = 15;
constexpr qint64 kMaxColours = qint64(64) * 64 * 64 * 64;
// Qt reads the first line into a buffer of 200 bytes: the strings start after it.
constexpr qsizetype kFirstLineMost = 199;
// A colour entry: where its key starts in the file, and in the top bit whether it is black.
constexpr quint32 kBlackBit = quint32(1) << 31;

IconPicture damaged(const QString& what) {
    return IconPicture::damaged(kFormat, what);
}

// The XPM file as the run of its quoted strings.
class XpmStrings {
public:
    explicit XpmStrings(const QByteArray& bytes) : m_bytes(bytes) {
        const qsizetype end = bytes.indexOf('\n');
        m_at = end < 0 || end >= kFirstLineMost ? qMin(bytes.size(), kFirstLineMost) : end + 1;
    }

    // The next string's start and length in the file; false at the end of the file.
    bool next(qsizetype& start, qsizetype& length) {
        const qsizetype open = m_bytes.indexOf('"', m_at);
        const qsizetype close = open < 0 ? -1 : m_bytes.indexOf('"', open + 1);
        if (close < 0) {
            return false;
        }
        start = open + 1;
        length = close - start;
        m_at = close + 1;
        return true;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_at = 0;
};

// The first four numbers of the values string, as sscanf's "%d %d %d %d" reads them.
std::optional<std::array<qint64, 4>> values(QByteArrayView text) {
    std::array<qint64, 4> numbers{};
    qsizetype at = 0;
    for (qint64& number : numbers) {
        while (at < text.size() && std::isspace(quint8(text[at]))) {
            ++at;
        }
        const bool negative = at < text.size() && text[at] == '-';
        at += negative || (at < text.size() && text[at] == '+') ? 1 : 0;
        if (at == text.size() || !std::isdigit(quint8(text[at]))) {
            return std::nullopt;
        }
        for (; at < text.size() && std::isdigit(quint8(text[at])); ++at) {
            number = qMin(number * 10 + (text[at] - '0'), qint64(1) << 40);
        }
        number = negative ? -number : number;
    }
    return numbers;
}

// Whether a "#..." colour is black, its channels of 1 to 4 hex digits each judged at their own
// depth; nothing when it is no colour. ImageMagick writes an alpha channel too, which Qt
// leaves out: so does this.
std::optional<bool> hexIsBlack(QByteArray text) {
    if ((text.size() - 1) % 3 != 0) {
        text.truncate((text.size() - 1) / 4 * 3 + 1);
    }
    const qsizetype digits = (text.size() - 1) / 3;
    const bool hex = std::all_of(text.cbegin() + 1, text.cend(),
                                 [](char c) { return std::isxdigit(quint8(c)) != 0; });
    if (digits < 1 || digits > 4 || !hex) {
        return std::nullopt;
    }
    qint64 channels[3] = {};
    for (int i = 0; i < 3; ++i) {
        channels[i] = text.mid(1 + i * digits, digits).toLongLong(nullptr, 16);
    }
    const qint64 maximum = (qint64(1) << (4 * digits)) - 1;
    return IconRaster::isBlack(channels[0], channels[1], channels[2], maximum, maximum);
}

// Whether a named colour is black, by Qt's own table of X11 colour names (a name's colour
// differs there from the CSS colour of the same name: X11 "gray" is 190); nothing when the
// table does not know the name. Qt makes an unknown name black, so black comes back for an
// unknown name and for the three black names alike.
std::optional<bool> namedIsBlack(const QByteArray& name) {
    static QHash<QByteArray, bool> known; // only names the table has: some 750 at most
    if (const auto found = known.constFind(name); found != known.constEnd()) {
        return *found;
    }
    QByteArray picture = "/* XPM */\n\"1 1 1 1\",\n\"a c " + name + "\",\n\"a\"\n";
    QBuffer buffer(&picture);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "xpm");
    const QImage pixel = reader.read();
    std::optional<bool> black;
    if (!pixel.isNull()) {
        const QRgb colour = pixel.pixel(0, 0);
        const bool blackName = name == "black" || name == "gray0" || name == "grey0";
        if (colour != qRgb(0, 0, 0) || blackName) {
            black = IconRaster::isBlack(qRed(colour), qGreen(colour), qBlue(colour), qAlpha(colour),
                                        255);
        }
    }
    if (black) {
        known.insert(name, *black);
    }
    return black;
}

class XpmParser {
public:
    explicit XpmParser(const QByteArray& bytes) : m_bytes(bytes), m_strings(bytes) {}

    IconPicture read() {
        qsizetype start = 0;
        qsizetype length = 0;
        if (!m_strings.next(start, length)) {
            return IconPicture::cutShort(kFormat);
        }
        const auto numbers = values(QByteArrayView(m_bytes).sliced(start, length));
        if (!numbers) {
            return damaged(QStringLiteral("its first string does not give its size"));
        }
        const auto [width, height, colours, characters] = *numbers;
        if (IconRaster::scaleOf(width, height) == 0) {
            return IconPicture::refusedSize(width, height);
        }
        if (colours < 1 || colours > kMaxColours || characters < 1 || characters > kMaxCharacters) {
            return damaged(QStringLiteral("it declares %1 colours of %2 characters each")
                               .arg(colours)
                               .arg(characters));
        }
        m_characters = int(characters);
        m_width = int(width);
        m_height = int(height);
        if (const auto failure = readColours(colours)) {
            return *failure;
        }
        IconRaster raster(m_width, m_height);
        if (const auto failure = readPixels(raster)) {
            return *failure;
        }
        return IconPicture::fromRaster(raster);
    }

private:
    const char* keyAt(quint32 entry) const { return m_bytes.constData() + (entry & ~kBlackBit); }

    std::optional<IconPicture> readColours(qint64 count) {
        m_colours.reserve(size_t(qMin(count, qint64(m_bytes.size()) / 4)));
        for (qint64 i = 0; i < count; ++i) {
            qsizetype start = 0;
            qsizetype length = 0;
            if (!m_strings.next(start, length)) {
                return IconPicture::cutShort(kFormat);
            }
            if (length < m_characters) {
                return damaged(QStringLiteral("its colour %1 has no %2 characters to name it")
                                   .arg(i + 1)
                                   .arg(m_characters));
            }
            const QByteArray colour =
                colourOf(m_bytes.mid(start + m_characters, length - m_characters));
            if (colour.isEmpty()) {
                return damaged(
                    QStringLiteral("its colour %1 gives no value after \"c\"").arg(i + 1));
            }
            const std::optional<bool> black = colourIsBlack(colour.toLower());
            if (!black) {
                return damaged(QStringLiteral("its colour \"%1\" is not a colour name or value")
                                   .arg(QString::fromLatin1(colour)));
            }
            m_colours.push_back(quint32(start) | (*black ? kBlackBit : 0));
        }
        // Sorted by key, a later entry for the same key after an earlier one, as the last
        // definition counts.
        std::stable_sort(m_colours.begin(), m_colours.end(), [this](quint32 a, quint32 b) {
            return std::memcmp(keyAt(a), keyAt(b), size_t(m_characters)) < 0;
        });
        return std::nullopt;
    }

    // The colour after the first of the keys "c", "g", "g4" and "m" that the entry has, its
    // words run together as Qt runs them ("light goldenrod"); empty when there is none.
    static QByteArray colourOf(const QByteArray& entry) {
        const QByteArrayList words = entry.simplified().split(' ');
        QByteArrayList lower;
        for (const QByteArray& word : words) {
            lower.append(word.toLower());
        }
        qsizetype key = -1;
        for (const char* name : {"c", "g", "g4", "m"}) {
            key = key < 0 ? lower.indexOf(name) : key;
        }
        static const QByteArrayList keys = {"c", "g", "g4", "m", "s"};
        QByteArray colour;
        for (qsizetype i = key + 1; key >= 0 && i < words.size() && !keys.contains(lower[i]); ++i) {
            colour += words[i];
        }
        return colour;
    }

    // "none" is transparent: white.
    static std::optional<bool> colourIsBlack(const QByteArray& colour) {
        if (colour == "none") {
            return false;
        }
        return colour.startsWith('#') ? hexIsBlack(colour) : namedIsBlack(colour);
    }

    std::optional<IconPicture> readPixels(IconRaster& raster) {
        const size_t characters = size_t(m_characters);
        const auto before = [this, characters](const char* key, quint32 entry) {
            return std::memcmp(key, keyAt(entry), characters) < 0;
        };
        std::optional<quint32> last; // neighbouring pixels mostly share their colour
        for (int y = 0; y < m_height; ++y) {
            qsizetype start = 0;
            qsizetype length = 0;
            if (!m_strings.next(start, length)) {
                return IconPicture::cutShort(kFormat);
            }
            if (length < qint64(m_width) * m_characters) {
                return damaged(QStringLiteral("its row %1 of %2 holds %3 of its %4 pixels")
                                   .arg(y + 1)
                                   .arg(m_height)
                                   .arg(length / m_characters)
                                   .arg(m_width));
            }
            for (int x = 0; x < m_width; ++x) {
                const char* key = m_bytes.constData() + start + qsizetype(x) * m_characters;
                if (!last || std::memcmp(keyAt(*last), key, characters) != 0) {
                    const auto found =
                        std::upper_bound(m_colours.begin(), m_colours.end(), key, before);
                    if (found == m_colours.begin() ||
                        std::memcmp(keyAt(*(found - 1)), key, characters) != 0) {
                        return damaged(QStringLiteral("its pixel \"%1\" at (%2, %3) is not in "
                                                      "its colour table")
                                           .arg(QString::fromLatin1(key, m_characters))
                                           .arg(x)
                                           .arg(y));
                    }
                    last = *(found - 1);
                }
                if (!raster.put(x, y, (*last & kBlackBit) != 0)) {
                    return IconPicture::fromRaster(raster);
                }
            }
        }
        return std::nullopt;
    }

    const QByteArray& m_bytes;
    XpmStrings m_strings;
    int m_characters = 1;
    int m_width = 0;
    int m_height = 0;
    std::vector<quint32> m_colours;
};

} // namespace

namespace XpmReader {

IconPicture read(const QByteArray& bytes) {
    return XpmParser(bytes).read();
}

} // namespace XpmReader
