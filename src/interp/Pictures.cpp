#include "interp/Pictures.h"

#include "core/Files.h"

#include <QImageReader>

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace qor::interp {

namespace {

// libjpeg's error manager with its exit replaced: an error jumps back to the decoder instead of
// ending the process.
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf back;
};

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->back, 1);
}

// Messages are not shown; warnings are counted (a file that ends early is one).
void JpegCountWarnings(j_common_ptr info, int level) {
    if (level < 0) ++info->err->num_warnings;
}

// The decoding itself, apart from objects with destructors (longjmp skips them).
bool DecodeInto(const unsigned char* data, unsigned long size, QImage& out) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = JpegErrorExit;
    error.mgr.emit_message = JpegCountWarnings;
    JSAMPROW row = nullptr;
    if (setjmp(error.back)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (static_cast<unsigned long long>(info.image_width) * info.image_height > kMaxJpegPixels) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // Full size and best quality: the accurate integer transform and smooth chroma.
    info.scale_num = info.scale_denom = 1;
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = TRUE;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    out = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB888);
    if (out.isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // A file that ends early gets its missing rows filled in with a warning: that is no
    // picture, so the rows after the first warning are not decoded at all.
    while (info.output_scanline < info.output_height && error.mgr.num_warnings == 0) {
        row = out.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    const bool complete = error.mgr.num_warnings == 0;
    if (complete) jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return complete;
}

bool IsJpegName(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".jpg" || ext == ".jpeg";
}

} // namespace

QImage DecodeJpeg(std::string_view bytes) {
    if (bytes.empty()) return {};
    QImage image;
    if (!DecodeInto(reinterpret_cast<const unsigned char*>(bytes.data()),
                    static_cast<unsigned long>(bytes.size()), image))
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage PictureFromFile(const std::filesystem::path& path) {
    std::string bytes;
    // A picture of more than 256 MB is not read.
    if (!ReadFileBytes(path, bytes, 256u << 20).ok()) return {};
    if (IsJpegName(path)) return DecodeJpeg(bytes);
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                            static_cast<int>(bytes.size()), "BMP"))
        return {};
    return image.convertToFormat(QImage::Format_RGB32);
}

std::string MoonFrameName(int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "JPG\\Moon\\%02d.jpg", frame);
    return name;
}

} // namespace qor::interp
