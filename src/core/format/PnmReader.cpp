// SPDX-License-Identifier: GPL-3.0-or-later
#include "PnmReader.h"

#include "IconRaster.h"
#include "PictureStream.h"

#include <optional>
#include <vector>

namespace {

constexpr qint64 kLargestMaximum = 65535;
// A number longer than this is no size any picture has; it is kept at this value, which is
// still refused as a size, rather than overflowing.
constexpr qint64 kNumberCeiling = qint64(1) << 40;

bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

class PnmParser {
public:
    explicit PnmParser(QIODevice& device) : m_in(device) {}

    IconPicture read() {
        m_in.next(); // the 'P'
        const int kind = m_in.next() - '0';
        m_plain = kind <= 3;
        m_channels = kind % 3 == 0 ? 3 : 1;
        m_bitmap = kind % 3 == 1;
        m_format = m_bitmap ? QStringLiteral("PBM")
                            : (m_channels == 3 ? QStringLiteral("PPM") : QStringLiteral("PGM"));
        m_c = m_in.next();

        const std::optional<qint64> width = number();
        const std::optional<qint64> height = width ? number() : std::nullopt;
        const std::optional<qint64> maximum = !height ? std::nullopt : (m_bitmap ? 1 : number());
        // The header ends in whitespace: a file that stops right after its last number was cut
        // there, whatever size that number now seems to give.
        if (!width || !height || !maximum || m_c < 0) {
            return m_c < 0 ? IconPicture::cutShort(m_format)
                           : damaged(QStringLiteral("its header holds something other than its "
                                                    "size"));
        }
        // A picture of a refused size is refused before its pixels are read, however large it
        // says it is.
        if (IconRaster::scaleOf(*width, *height) == 0) {
            return IconPicture::refusedSize(*width, *height);
        }
        if (*maximum < 1 || *maximum > kLargestMaximum) {
            return damaged(QStringLiteral("its largest sample value is %1; it must be from 1 to "
                                          "%2")
                               .arg(*maximum)
                               .arg(kLargestMaximum));
        }
        m_width = int(*width);
        m_height = int(*height);
        m_maximum = *maximum;
        // One whitespace character ends the header of a raw file; its pixels start after it.
        if (!m_plain && !isSpace(m_c)) {
            return m_c < 0 ? IconPicture::cutShort(m_format)
                           : damaged(QStringLiteral("its header does not end in a space"));
        }
        IconRaster raster(m_width, m_height);
        const std::optional<IconPicture> failure = m_plain ? readPlain(raster) : readRaw(raster);
        return failure ? *failure : IconPicture::fromRaster(raster);
    }

private:
    IconPicture damaged(const QString& what) const { return IconPicture::damaged(m_format, what); }

    // Skips whitespace and comments (from '#' to the end of the line).
    void skipSpace() {
        while (isSpace(m_c) || m_c == '#') {
            if (m_c == '#') {
                while (m_c >= 0 && m_c != '\n' && m_c != '\r') {
                    m_c = m_in.next();
                }
            } else {
                m_c = m_in.next();
            }
        }
    }

    // The next decimal number; nothing when something else, or the end, comes first.
    std::optional<qint64> number() {
        skipSpace();
        if (m_c < '0' || m_c > '9') {
            return std::nullopt;
        }
        qint64 value = 0;
        while (m_c >= '0' && m_c <= '9') {
            value = value < kNumberCeiling ? value * 10 + (m_c - '0') : kNumberCeiling;
            m_c = m_in.next();
        }
        return value;
    }

    // Whether (x, y) with these samples is black; a sample above the maximum is damage.
    std::optional<IconPicture> take(IconRaster& raster, int x, int y, const qint64* samples) {
        for (int i = 0; i < m_channels; ++i) {
            if (samples[i] > m_maximum) {
                return damaged(QStringLiteral("its sample %1 at (%2, %3) is above its maximum "
                                              "%4")
                                   .arg(samples[i])
                                   .arg(x)
                                   .arg(y)
                                   .arg(m_maximum));
            }
        }
        const bool black =
            m_bitmap ? samples[0] == 1
                     : (m_channels == 1 ? IconRaster::isBlack(samples[0], m_maximum)
                                        : IconRaster::isBlack(samples[0], samples[1], samples[2],
                                                              m_maximum, m_maximum));
        if (!raster.put(x, y, black)) {
            return IconPicture::fromRaster(raster);
        }
        return std::nullopt;
    }

    std::optional<IconPicture> readPlain(IconRaster& raster) {
        qint64 samples[3] = {};
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                for (int i = 0; i < m_channels; ++i) {
                    // A bit of a plain PBM is one character: "0110" is four pixels.
                    std::optional<qint64> sample;
                    if (m_bitmap) {
                        skipSpace();
                        if (m_c == '0' || m_c == '1') {
                            sample = m_c - '0';
                            m_c = m_in.next();
                        }
                    } else {
                        // A number the file ends in may have been cut: "1000" read as "10".
                        sample = number();
                        sample = m_c < 0 ? std::nullopt : sample;
                    }
                    if (!sample) {
                        if (m_c < 0) {
                            return IconPicture::cutShort(m_format);
                        }
                        return damaged(QStringLiteral("its pixel at (%1, %2) is %3")
                                           .arg(x)
                                           .arg(y)
                                           .arg(m_bitmap ? QStringLiteral("neither 0 nor 1")
                                                         : QStringLiteral("not a number")));
                    }
                    samples[i] = *sample;
                }
                if (auto failure = take(raster, x, y, samples)) {
                    return failure;
                }
            }
        }
        return std::nullopt;
    }

    std::optional<IconPicture> readRaw(IconRaster& raster) {
        const int sampleBytes = m_maximum > 255 ? 2 : 1;
        const qint64 rowBytes =
            m_bitmap ? (m_width + 7) / 8 : qint64(m_width) * m_channels * sampleBytes;
        std::vector<char> row(static_cast<size_t>(rowBytes));
        qint64 samples[3] = {};
        for (int y = 0; y < m_height; ++y) {
            if (m_in.read(row.data(), rowBytes) != rowBytes) {
                return IconPicture::cutShort(m_format);
            }
            const auto* bytes = reinterpret_cast<const quint8*>(row.data());
            for (int x = 0; x < m_width; ++x) {
                if (m_bitmap) {
                    samples[0] = (bytes[x / 8] >> (7 - x % 8)) & 1;
                } else {
                    for (int i = 0; i < m_channels; ++i) {
                        const quint8* at = bytes + (qint64(x) * m_channels + i) * sampleBytes;
                        samples[i] = sampleBytes == 2 ? (at[0] << 8) | at[1] : at[0];
                    }
                }
                if (auto failure = take(raster, x, y, samples)) {
                    return failure;
                }
            }
        }
        return std::nullopt;
    }

    PictureStream m_in;
    int m_c = -1; // the byte after what has been read; -1 at the end
    bool m_plain = true;
    bool m_bitmap = false;
    int m_channels = 1;
    QString m_format;
    int m_width = 0;
    int m_height = 0;
    qint64 m_maximum = 1;
};

} // namespace

namespace PnmReader {

IconPicture read(QIODevice& device) {
    return PnmParser(device).read();
}

} // namespace PnmReader
