// JPEG reading through libjpeg (API 62) with a source manager over memory and an error handler that jumps back to
// the decoder. Called by Pixmap_Decode, the texture upload (row by row) and the fuzz target.
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "platform/system.h"
#include "platform/codecs.h"

namespace {

struct JpegError {
    jpeg_error_mgr mgr; // libjpeg's part; must come first
    jmp_buf jump;       // where error_exit returns to
    int warnings;       // corrupt-data warnings so far
    char message[JMSG_LENGTH_MAX];
};

constexpr int kMaxWarnings = 1000; // a stream this broken is given up rather than decoded for ever
constexpr int kMaxScans = 500;     // progressive files with more scans are refused (decoding cost)

void JpegErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    longjmp(err->jump, 1);
}

void JpegEmitMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    if (level < 0 && ++err->warnings > kMaxWarnings) {
        std::snprintf(err->message, sizeof err->message, "too many corrupt-data warnings");
        longjmp(err->jump, 1);
    }
}

void JpegProgress(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxScans) {
            auto* err = reinterpret_cast<JpegError*>(cinfo->err);
            std::snprintf(err->message, sizeof err->message, "too many scans");
            longjmp(err->jump, 1);
        }
    }
}

// Source manager over one buffer: everything is handed over at once. Running out of bytes is an error: a truncated
// file gives no image rather than a half-grey one.
void SrcInit(j_decompress_ptr) {}
boolean SrcFill(j_decompress_ptr cinfo) {
    ERREXIT(cinfo, JERR_INPUT_EOF);
    return FALSE;
}
void SrcSkip(j_decompress_ptr cinfo, long n) {
    if (n <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    while (n > long(src->bytes_in_buffer)) {
        n -= long(src->bytes_in_buffer);
        SrcFill(cinfo);
    }
    src->next_input_byte += n;
    src->bytes_in_buffer -= size_t(n);
}
void SrcTerm(j_decompress_ptr) {}

} // namespace

bool Jpeg_IsSignature(const uint8_t* data, size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

namespace {
// The libjpeg part, kept free of C++ objects of its own: errors arrive by longjmp, which must not skip destructors.
// The caller owns the pixmap and the row buffer. With a sink the rows go to it one by one through `rowBuf` and the
// pixmap only learns the size.
bool JpegDecodeInto(const uint8_t* data, size_t size, Pixmap& pm, const PixelRowSink* sink,
                    std::vector<uint8_t>& rowBuf) {
    jpeg_decompress_struct cinfo;
    JpegError err;
    std::memset(&err, 0, sizeof err);
    jpeg_source_mgr src;
    jpeg_progress_mgr progress;

    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegErrorExit;
    err.mgr.emit_message = JpegEmitMessage;
    if (setjmp(err.jump)) {
        Log_Print(std::string("jpeg: ") + err.message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = 512L << 20;
    src.init_source = SrcInit;
    src.fill_input_buffer = SrcFill;
    src.skip_input_data = SrcSkip;
    src.resync_to_restart = jpeg_resync_to_restart;
    src.term_source = SrcTerm;
    src.next_input_byte = data;
    src.bytes_in_buffer = size;
    cinfo.src = &src;
    progress.progress_monitor = JpegProgress;
    cinfo.progress = &progress;

    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > unsigned(kImageMaxSide) ||
        cinfo.image_height > unsigned(kImageMaxSide)) {
        std::snprintf(err.message, sizeof err.message, "image too large (%ux%u)", cinfo.image_width,
                      cinfo.image_height);
        longjmp(err.jump, 1);
    }
    if (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) {
        std::snprintf(err.message, sizeof err.message, "CMYK images are not supported");
        longjmp(err.jump, 1);
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        std::snprintf(err.message, sizeof err.message, "unsupported colour layout");
        longjmp(err.jump, 1);
    }
    pm.format = PF_RGB888;
    pm.width = int(cinfo.output_width);
    pm.height = int(cinfo.output_height);
    pm.pitch = pm.width * 3;
    if (sink && !sink->start(sink->ctx, pm.width, pm.height, pm.format)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (sink)
        rowBuf.resize(size_t(pm.pitch));
    else
        pm.bytes.resize(size_t(pm.pitch) * pm.height);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW row = sink ? rowBuf.data() : pm.bytes.data() + size_t(y) * pm.pitch;
        if (jpeg_read_scanlines(&cinfo, &row, 1) == 1 && sink) sink->row(sink->ctx, y, row);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}
} // namespace

PixmapPtr Jpeg_Decode(const uint8_t* data, size_t size) {
    if (!data || size < 3) {
        Log_Print("jpeg: file is truncated");
        return nullptr;
    }
    auto pm = std::make_shared<Pixmap>();
    std::vector<uint8_t> unused;
    if (!JpegDecodeInto(data, size, *pm, nullptr, unused)) return nullptr;
    return pm;
}

bool Jpeg_DecodeRows(const uint8_t* data, size_t size, const PixelRowSink& sink) {
    if (!data || size < 3) {
        Log_Print("jpeg: file is truncated");
        return false;
    }
    Pixmap pm;
    std::vector<uint8_t> rowBuf;
    return JpegDecodeInto(data, size, pm, &sink, rowBuf);
}
