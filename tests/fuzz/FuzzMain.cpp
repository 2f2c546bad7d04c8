// libFuzzer's entry: the one target linked into this binary.
#include "FuzzTarget.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto& targets = qor::fuzz::Targets();
    if (targets.size() != 1) std::abort();
    targets.front().run(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
