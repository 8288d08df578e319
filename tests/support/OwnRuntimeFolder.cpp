// Every test process runs with a runtime folder of its own ($XDG_RUNTIME_DIR), made before main and
// removed at its end: the programs' single-instance locks and the CAD host's sockets live there, so
// tests run side by side (ctest -j) never take each other's lock or reach each other's host.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

struct OwnRuntimeFolder {
    std::string path;
    OwnRuntimeFolder() {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path(ec);
        if (ec) base = "/tmp";
        std::string pattern = (base / "tesmar-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;  // mkdtemp makes it 0700, as a runtime folder must be
        path = pattern;
        setenv("XDG_RUNTIME_DIR", path.c_str(), 1);
    }
    ~OwnRuntimeFolder() {
        if (path.empty()) return;
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const OwnRuntimeFolder ownRuntimeFolder;

}  // namespace
