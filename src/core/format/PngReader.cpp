// SPDX-License-Identifier: GPL-3.0-or-later
#include "PngReader.h"

#include "IconRaster.h"
#include "PictureStream.h"

#include <png.h>

#include <csetjmp>
#include <optional>
#include <vector>

namespace {

const QString kFormat = QStringLiteral("PNG");
constexpr int kAdam7Passes = 7;

// libpng reports through these, and leaves a failed read by longjmp: everything a read needs
// lives in this object, made before and destroyed after the jump's target, so no destructor
// is ever skipped.
class PngDecoder {
public:
    explicit PngDecoder(QIODevice& device) : m_in(device) {}

    IconPicture read() {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, this, onError, onWarning);
        m_info = m_png != nullptr ? png_create_info_struct(m_png) : nullptr;
        const bool decoded = m_info != nullptr && decode();
        png_destroy_read_struct(&m_png, m_info != nullptr ? &m_info : nullptr, nullptr);
        if (m_result) {
            return *m_result;
        }
        if (m_cutShort) {
            return IconPicture::cutShort(kFormat);
        }
        if (!decoded || !m_raster) {
            return IconPicture::damaged(kFormat, m_error.isEmpty() ? QStringLiteral("out of memory")
                                                                   : m_error);
        }
        return IconPicture::fromRaster(*m_raster);
    }

private:
    static void onRead(png_structp png, png_bytep data, size_t length) {
        auto* self = static_cast<PngDecoder*>(png_get_io_ptr(png));
        if (self->m_in.read(reinterpret_cast<char*>(data), qint64(length)) != qint64(length)) {
            self->m_cutShort = true;
            png_error(png, "cut short");
        }
    }
    static void onError(png_structp png, png_const_charp message) {
        auto* self = static_cast<PngDecoder*>(png_get_error_ptr(png));
        self->m_error = QString::fromLatin1(message);
        png_longjmp(png, 1);
    }
    // Warnings are about chunks that do not change a pixel; Qt's reader only logged them.
    static void onWarning(png_structp /*png*/, png_const_charp /*message*/) {}

    // False when libpng gave up; m_result holds any other refusal.
    bool decode() {
        if (setjmp(png_jmpbuf(m_png)) != 0) {
            return false;
        }
        png_set_read_fn(m_png, this, onRead);
        // Every chunk libpng knows but IHDR, PLTE, tRNS, IDAT and IEND, and every unknown one.
        png_set_keep_unknown_chunks(m_png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
        png_read_info(m_png, m_info);
        png_uint_32 width = 0;
        png_uint_32 height = 0;
        int depth = 0;
        int colourType = 0;
        int interlace = 0;
        png_get_IHDR(m_png, m_info, &width, &height, &depth, &colourType, &interlace, nullptr,
                     nullptr);
        if (IconRaster::scaleOf(width, height) == 0) {
            m_result = IconPicture::refusedSize(width, height);
            return true;
        }
        m_raster.emplace(int(width), int(height));
        m_indexed = colourType == PNG_COLOR_TYPE_PALETTE;
        if (m_indexed) {
            readPalette();
            png_set_packing(m_png); // an index a byte
        } else {
            // Every other kind as 16-bit red, green, blue (and alpha, from tRNS too): 8-bit
            // samples become v * 257, as Qt makes them.
            png_set_expand_16(m_png);
            png_set_gray_to_rgb(m_png);
        }
        png_read_update_info(m_png, m_info);
        m_channels = png_get_channels(m_png, m_info);
        m_row.resize(png_get_rowbytes(m_png, m_info));
        // An interlaced picture comes as seven smaller ones, each pixel put in its place, so
        // no more than a row is held.
        const bool adam7 = interlace == PNG_INTERLACE_ADAM7;
        for (int pass = 0; pass < (adam7 ? kAdam7Passes : 1); ++pass) {
            const png_uint_32 columns = adam7 ? PNG_PASS_COLS(width, pass) : width;
            const png_uint_32 rows = adam7 ? PNG_PASS_ROWS(height, pass) : height;
            for (png_uint_32 row = 0; columns > 0 && row < rows; ++row) {
                png_read_row(m_png, m_row.data(), nullptr);
                const png_uint_32 y = adam7 ? PNG_ROW_FROM_PASS_ROW(row, pass) : row;
                for (png_uint_32 column = 0; column < columns; ++column) {
                    const png_uint_32 x = adam7 ? PNG_COL_FROM_PASS_COL(column, pass) : column;
                    if (!take(column, int(x), int(y))) {
                        return true;
                    }
                }
            }
        }
        return true;
    }

    void readPalette() {
        png_colorp colours = nullptr;
        int count = 0;
        png_get_PLTE(m_png, m_info, &colours, &count);
        png_bytep alphas = nullptr;
        int alphaCount = 0;
        png_get_tRNS(m_png, m_info, &alphas, &alphaCount, nullptr);
        for (int i = 0; i < count; ++i) {
            const int alpha = alphas != nullptr && i < alphaCount ? alphas[i] : 255;
            m_palette.push_back(
                IconRaster::isBlack(colours[i].red, colours[i].green, colours[i].blue, alpha, 255));
        }
    }

    // Puts the row's pixel `column` at (x, y); false when the picture is refused there.
    bool take(png_uint_32 column, int x, int y) {
        bool black = false;
        if (m_indexed) {
            const int index = m_row[column];
            if (index >= int(m_palette.size())) {
                m_result = IconPicture::damaged(
                    kFormat, QStringLiteral("its pixel at (%1, %2) uses colour %3 of a palette of "
                                            "%4")
                                 .arg(x)
                                 .arg(y)
                                 .arg(index)
                                 .arg(m_palette.size()));
                return false;
            }
            black = m_palette[size_t(index)];
        } else {
            const png_byte* at = m_row.data() + size_t(column) * m_channels * 2;
            const auto sample = [at](size_t i) { return qint64((at[2 * i] << 8) | at[2 * i + 1]); };
            const qint64 alpha = m_channels == 4 ? sample(3) : 65535;
            black = IconRaster::isBlack(sample(0), sample(1), sample(2), alpha, 65535);
        }
        if (!m_raster->put(x, y, black)) {
            m_result = IconPicture::fromRaster(*m_raster);
            return false;
        }
        return true;
    }

    PictureStream m_in;
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    bool m_cutShort = false;
    QString m_error;
    std::optional<IconPicture> m_result;
    std::optional<IconRaster> m_raster;
    bool m_indexed = false;
    std::vector<bool> m_palette; // whether each palette colour is black
    int m_channels = 0;
    std::vector<png_byte> m_row;
};

} // namespace

namespace PngReader {

IconPicture read(QIODevice& device) {
    return PngDecoder(device).read();
}

} // namespace PngReader
