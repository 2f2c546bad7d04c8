#include "core/ProgramFolder.h"

#include <system_error>

namespace qor {

fs::path ChooseProgramFolder(std::vector<std::string>& args, const char* envQorHome,
                             const char* envHome) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--home" && i + 1 < args.size()) {
            fs::path home = args[i + 1];
            args.erase(args.begin() + i, args.begin() + i + 2);
            return home;
        }
        if (args[i].rfind("--home=", 0) == 0) {
            fs::path home = args[i].substr(7);
            args.erase(args.begin() + i);
            return home;
        }
    }
    if (envQorHome && *envQorHome) return envQorHome;
    const fs::path user = (envHome && *envHome) ? fs::path(envHome) : fs::path("/tmp");
    return user / ".local" / "share" / "qor";
}

fs::path ShippedDataDir(const fs::path& exeDir) {
    std::error_code ec;
    for (const fs::path& p : {exeDir / "data", exeDir / ".." / "share" / "qor"})
        if (fs::is_directory(p, ec)) return fs::weakly_canonical(p, ec);
    return {};
}

IoResult SeedProgramFolder(const fs::path& shipped, const fs::path& home, int* copied) {
    std::error_code ec;
    int count = 0;
    fs::create_directories(home, ec);
    if (ec) return IoResult::Fail(ec.value(), "create folder " + home.string());
    if (shipped.empty()) {
        if (copied) *copied = 0;
        return IoResult::Ok();
    }
    for (fs::recursive_directory_iterator it(shipped, ec), end; !ec && it != end;
         it.increment(ec)) {
        const fs::path rel = fs::relative(it->path(), shipped, ec);
        if (ec) break;
        const fs::path target = home / rel;
        if (it->is_directory(ec)) {
            fs::create_directories(target, ec);
        } else if (!fs::exists(target, ec)) {
            fs::copy_file(it->path(), target, fs::copy_options::skip_existing, ec);
            if (!ec) {
                ++count;
                // Shipped files may be read-only; the user's copies are theirs to change.
                fs::permissions(target, fs::perms::owner_write, fs::perm_options::add, ec);
            }
        }
        if (ec) return IoResult::Fail(ec.value(), "copy " + it->path().string());
    }
    if (copied) *copied = count;
    if (ec) return IoResult::Fail(ec.value(), "read folder " + shipped.string());
    return IoResult::Ok();
}

} // namespace qor
