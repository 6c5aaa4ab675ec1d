// The contact sheet: one PNG showing every PNG and JPEG below an asset folder, each scaled into a grid cell on a
// checkerboard (so transparency shows) and labelled with its path and size. Called by main.cpp (--contact-sheet).
#include "assetgen_images/inventory.h"

#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <filesystem>

namespace imagegen {

namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};
void JpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }

bool ReadJpeg(const std::string& path, std::unique_ptr<art::Canvas>& out) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        return false;
    }
    jpeg_decompress_struct info{};
    JpegError err{};
    info.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegFail;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        std::fclose(f);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, f);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out = std::make_unique<art::Canvas>(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    cairo_surface_flush(out->surface());
    uint8_t* data = cairo_image_surface_get_data(out->surface());
    const int stride = cairo_image_surface_get_stride(out->surface());
    std::vector<uint8_t> row(info.output_width * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW r = row.data();
        const int y = static_cast<int>(info.output_scanline);
        jpeg_read_scanlines(&info, &r, 1);
        auto* px = reinterpret_cast<uint32_t*>(data + y * stride);
        for (JDIMENSION x = 0; x < info.output_width; ++x) {
            px[x] = 0xff000000u | (uint32_t(row[x * 3]) << 16) | (uint32_t(row[x * 3 + 1]) << 8) | row[x * 3 + 2];
        }
    }
    cairo_surface_mark_dirty(out->surface());
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(f);
    return true;
}

} // namespace

bool WriteContactSheet(const std::string& outPng, const std::string& assetDir, const std::string& filter) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(assetDir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file()) {
            continue;
        }
        std::string ext = it->path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
        const std::string rel = fs::relative(it->path(), assetDir).generic_string();
        if ((ext == ".png" || ext == ".jpg") && (filter.empty() || rel.find(filter) != std::string::npos)) {
            files.push_back(rel);
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "contact sheet: no images below %s\n", assetDir.c_str());
        return false;
    }
    const int cellW = 200, cellH = 170, imgH = 140, cols = 10;
    const int rows = (static_cast<int>(files.size()) + cols - 1) / cols;
    art::Canvas sheet(cols * cellW, rows * cellH + 40);
    cairo_t* cr = sheet.cr();
    art::SetColour(cr, art::Hex(0x202228));
    cairo_paint(cr);
    art::TextStyle head;
    head.face = art::Face::SansBold;
    head.size = 20;
    head.fill = art::pal::White;
    head.align = art::Align::Left;
    art::DrawText(cr, "Brisquel 2 - " + std::to_string(files.size()) + " images", 10, 28, head);
    art::TextStyle label;
    label.face = art::Face::Sans;
    label.size = 9;
    label.fill = art::Hex(0xdde2ea);
    for (size_t i = 0; i < files.size(); ++i) {
        const double x = static_cast<double>(i % cols) * cellW, y = 40.0 + static_cast<double>(i / cols) * cellH;
        // checkerboard behind the picture
        for (int cy = 0; cy < imgH; cy += 10) {
            for (int cx = 0; cx < cellW - 8; cx += 10) {
                cairo_rectangle(cr, x + 4 + cx, y + 4 + cy, std::min(10, cellW - 8 - cx), std::min(10, imgH - cy));
                art::SetColour(cr, ((cx + cy) / 10) % 2 ? art::Hex(0x8a8e96) : art::Hex(0x6a6e76));
                cairo_fill(cr);
            }
        }
        std::unique_ptr<art::Canvas> img;
        const std::string full = assetDir + "/" + files[i];
        const bool isJpg = files[i].size() > 4 && files[i].compare(files[i].size() - 4, 4, ".jpg") == 0;
        const bool ok = isJpg ? ReadJpeg(full, img) : art::ReadPng(full, img);
        std::string text = files[i];
        if (ok) {
            const double sc = std::min({(cellW - 8.0) / img->width(), static_cast<double>(imgH) / img->height(), 4.0});
            const double dw = img->width() * sc, dh = img->height() * sc;
            sheet.Blit(*img, x + 4 + (cellW - 8 - dw) / 2, y + 4 + (imgH - dh) / 2, dw, dh);
            text += "  " + std::to_string(img->width()) + "x" + std::to_string(img->height());
        } else {
            text += "  (unreadable)";
        }
        // the label, shortened from the left to fit the cell
        double tw = 0, th = 0;
        art::MeasureText(cr, text, label, tw, th);
        while (tw > cellW - 8 && text.size() > 4) {
            text = "…" + text.substr(text.find_first_of('/') == std::string::npos ? 4 : text.find_first_of('/') + 1);
            art::MeasureText(cr, text, label, tw, th);
            if (text.find('/') == std::string::npos) {
                break;
            }
        }
        art::DrawText(cr, text, x + cellW / 2.0, y + imgH + 18, label);
    }
    return art::WritePngRgba(outPng, sheet);
}

} // namespace imagegen
