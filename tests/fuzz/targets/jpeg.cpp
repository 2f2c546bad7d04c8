// The JPEG pictures.
#include "FuzzTarget.h"

#include "interp/Pictures.h"

namespace qor::fuzz {
namespace {

void Run(std::string_view bytes) {
    interp::DecodeJpeg(bytes);
}

std::vector<std::string> Seeds() {
    return SourceFiles("data/JPG", ".jpg", 4);
}

} // namespace
QOR_FUZZ_TARGET(jpeg, Run, Seeds, "")
} // namespace qor::fuzz
