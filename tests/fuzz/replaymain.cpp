// The main of a fuzz target in the normal build: feeds every file of the
// corpus folders (or the files) named on the command line to the target's
// LLVMFuzzerTestOneInput once, as libFuzzer does with its seed corpus. A
// target reports a finding by crashing or aborting, which fails the run;
// a corpus without a single file fails too, so a lost corpus is noticed.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace fs = std::filesystem;

int main(int argc, char **argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path p(argv[i]);
        std::error_code ec;
        if (fs::is_directory(p, ec)) {
            for (const fs::directory_entry &e : fs::directory_iterator(p, ec)) {
                if (e.is_regular_file())
                    inputs.push_back(e.path());
            }
        } else if (fs::is_regular_file(p, ec)) {
            inputs.push_back(p);
        }
        if (ec) {
            std::fprintf(stderr, "cannot read %s: %s\n", argv[i], ec.message().c_str());
            return 1;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "no corpus files in the arguments\n");
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path &p : inputs) {
        std::ifstream in(p, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "cannot read %s\n", p.c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", p.filename().c_str(), bytes.size());
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
