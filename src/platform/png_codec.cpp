// PNG reading and writing through libpng over memory buffers. Reading is called by Pixmap_Decode and the fuzz
// target; writing by Png_Encode (screenshots, tests).
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/system.h"
#include "platform/codecs.h"

namespace {

struct PngReadSource {
    const uint8_t* data; // whole file
    size_t size;         // bytes in data
    size_t pos;          // next byte to hand to libpng
    char message[160];   // why decoding stopped
};

void PngError(png_structp png, png_const_charp msg) {
    auto* src = static_cast<PngReadSource*>(png_get_error_ptr(png));
    if (src) std::snprintf(src->message, sizeof src->message, "%s", msg ? msg : "error");
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {} // corrupt ancillary chunks are not worth a line

void PngRead(png_structp png, png_bytep out, png_size_t n) {
    auto* src = static_cast<PngReadSource*>(png_get_io_ptr(png));
    if (n > src->size - src->pos) png_error(png, "file is truncated");
    std::memcpy(out, src->data + src->pos, n);
    src->pos += n;
}

struct PngWriteSink {
    std::vector<uint8_t>* out; // encoded bytes so far
};

void PngWrite(png_structp png, png_bytep data, png_size_t n) {
    auto* sink = static_cast<PngWriteSink*>(png_get_io_ptr(png));
    sink->out->insert(sink->out->end(), data, data + n);
}
void PngFlush(png_structp) {}
void PngWriteError(png_structp png, png_const_charp msg) {
    Log_Print(std::string("png: ") + (msg ? msg : "error"));
    png_longjmp(png, 1);
}

// Deflate cannot expand data by more than about 1032:1; a header promising more pixels than the file could hold is
// refused before the pixel memory is taken.
constexpr uint64_t kMaxDeflateRatio = 1100;

} // namespace

bool Png_IsSignature(const uint8_t* data, size_t size) { return size >= 8 && png_sig_cmp(data, 0, 8) == 0; }

namespace {
// The libpng part, kept free of C++ objects of its own: libpng reports errors by longjmp, which must not skip
// destructors. The caller owns the pixmap, the row table and the row buffer. With a sink, a file that is not
// interlaced goes to it row by row through `rowBuf` and the pixmap only gets its size and format.
bool PngDecodeInto(PngReadSource& src, Pixmap& pm, std::vector<png_bytep>& rows, const PixelRowSink* sink,
                   std::vector<uint8_t>& rowBuf) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &src, PngError, PngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        Log_Print(std::string("png: ") + (src.message[0] ? src.message : "corrupt file"));
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_user_limits(png, kImageMaxSide, kImageMaxSide);
    // No chunk may make libpng allocate more than 8 MB, and the ancillary chunks the game never uses are skipped
    // unread (libpng would otherwise allocate and fill whatever length such a chunk claims, warning only).
    png_set_chunk_malloc_max(png, 8u << 20);
    png_set_chunk_cache_max(png, 64);
    static const png_byte kSkipped[] =
        "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0sBIT\0sCAL\0sPLT\0sRGB\0"
        "tEXt\0tIME\0zTXt";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, int(sizeof kSkipped / 5));
    png_set_read_fn(png, &src, PngRead);
    png_read_info(png, info);

    const png_uint_32 w = png_get_image_width(png, info);
    const png_uint_32 h = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (w == 0 || h == 0 || w > kImageMaxSide || h > kImageMaxSide) png_error(png, "image too large");
    // The least the file can hold for this header, from its own layout (bits per pixel before any expansion, one
    // filter byte per row).
    const uint64_t fileRowBytes = (uint64_t(w) * png_get_channels(png, info) * uint64_t(depth) + 7) / 8;
    if (uint64_t(h) * (fileRowBytes + 1) / kMaxDeflateRatio > src.size) png_error(png, "file is truncated");

    if (depth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int channels = png_get_channels(png, info);
    if (channels != 3 && channels != 4) png_error(png, "unsupported pixel layout");
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != size_t(w) * channels) png_error(png, "unsupported pixel layout");

    pm.format = channels == 3 ? PF_RGB888 : PF_RGBA8888;
    pm.width = int(w);
    pm.height = int(h);
    pm.pitch = int(rowBytes);
    if (sink && png_get_interlace_type(png, info) == PNG_INTERLACE_NONE) {
        if (!sink->start(sink->ctx, pm.width, pm.height, pm.format)) {
            png_destroy_read_struct(&png, &info, nullptr);
            return false;
        }
        rowBuf.resize(rowBytes);
        for (png_uint_32 y = 0; y < h; ++y) {
            png_read_row(png, rowBuf.data(), nullptr);
            sink->row(sink->ctx, int(y), rowBuf.data());
        }
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        return true;
    }
    pm.bytes.resize(rowBytes * h);
    rows.resize(h);
    for (png_uint_32 y = 0; y < h; ++y)
        rows[y] = pm.bytes.data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}
} // namespace

PixmapPtr Png_Decode(const uint8_t* data, size_t size) {
    if (!Png_IsSignature(data, size)) {
        Log_Print("png: not a PNG file");
        return nullptr;
    }
    PngReadSource src{data, size, 0, {0}};
    auto pm = std::make_shared<Pixmap>();
    std::vector<png_bytep> rows;
    std::vector<uint8_t> unused;
    if (!PngDecodeInto(src, *pm, rows, nullptr, unused)) return nullptr;
    return pm;
}

bool Png_DecodeRows(const uint8_t* data, size_t size, const PixelRowSink& sink) {
    if (!Png_IsSignature(data, size)) {
        Log_Print("png: not a PNG file");
        return false;
    }
    PngReadSource src{data, size, 0, {0}};
    Pixmap pm;
    std::vector<png_bytep> rows;
    std::vector<uint8_t> rowBuf;
    if (!PngDecodeInto(src, pm, rows, &sink, rowBuf)) return false;
    if (pm.bytes.empty()) return true; // handed over row by row
    // Interlaced: decoded whole, then handed over.
    if (!sink.start(sink.ctx, pm.width, pm.height, pm.format)) return false;
    for (int y = 0; y < pm.height; ++y)
        sink.row(sink.ctx, y, pm.bytes.data() + size_t(y) * pm.pitch);
    return true;
}

std::vector<uint8_t> Png_Encode(const Pixmap& pm) {
    std::vector<uint8_t> out;
    const int bpp = PixelFormat_Bytes(pm.format);
    if (bpp == 0 || pm.width <= 0 || pm.height <= 0 || pm.pitch < pm.width * bpp ||
        pm.bytes.size() < size_t(pm.pitch) * pm.height)
        return out;
    // Rows in libpng's order (R G B or R G B A), converted once.
    const bool alpha = bpp == 4;
    const int outBpp = alpha ? 4 : 3;
    std::vector<uint8_t> pixels(size_t(pm.width) * outBpp * pm.height);
    for (int y = 0; y < pm.height; ++y) {
        const uint8_t* s = pm.bytes.data() + size_t(y) * pm.pitch;
        uint8_t* d = pixels.data() + size_t(y) * pm.width * outBpp;
        for (int x = 0; x < pm.width; ++x, s += bpp, d += outBpp) {
            const bool bgr = pm.format == PF_BGR888 || pm.format == PF_BGRA8888;
            d[0] = bgr ? s[2] : s[0];
            d[1] = s[1];
            d[2] = bgr ? s[0] : s[2];
            if (alpha) d[3] = s[3];
        }
    }
    std::vector<png_bytep> rows(pm.height);
    for (int y = 0; y < pm.height; ++y)
        rows[y] = pixels.data() + size_t(y) * pm.width * outBpp;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngWriteError, PngWarning);
    if (!png) return out;
    png_infop info = png_create_info_struct(png);
    PngWriteSink sink{&out};
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return out;
    }
    png_set_write_fn(png, &sink, PngWrite, PngFlush);
    png_set_IHDR(png, info, pm.width, pm.height, 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}
