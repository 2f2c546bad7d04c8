// The pictures of the gallery and the viewer: JPEG files decoded by libjpeg at full size and
// best quality, other files as BMP through Qt; the frames of the Moon animation.
#pragma once

#include <QImage>

#include <filesystem>
#include <string>
#include <string_view>

namespace qor::interp {

// The most pixels a JPEG picture may have: 256 MB as RGB32. A header that claims more is
// refused before anything is allocated.
constexpr unsigned long long kMaxJpegPixels = 1ull << 26;

// The decoded picture of a JPEG file's bytes (RGB32), or a null image when libjpeg refuses
// them (truncated, corrupt, not a JPEG) or the picture is larger than kMaxJpegPixels: its
// errors never end the program.
QImage DecodeJpeg(std::string_view bytes);

// The picture of a file: a name ending ".jpg" or ".jpeg" (any case) by DecodeJpeg, another
// through Qt; a null image when the file cannot be read or decoded.
QImage PictureFromFile(const std::filesystem::path& path);

// The program name of frame 0..24 of the Moon animation: "JPG\Moon\00.jpg" .. "24.jpg".
std::string MoonFrameName(int frame);
// The frame after `frame`: 24 is followed by 0.
inline int NextMoonFrame(int frame) { return frame >= 24 ? 0 : frame + 1; }
constexpr int kMoonFrames = 25;

} // namespace qor::interp
