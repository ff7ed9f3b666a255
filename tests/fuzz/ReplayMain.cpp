// SPDX-License-Identifier: MIT
// Runs a libFuzzer harness over files and folders without libFuzzer, so that ordinary builds
// (and their sanitizer variant) replay the seeds and every past crasher as a test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fs = std::filesystem;

namespace {

void RunOne(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    std::printf("%s\n", path.c_str());
    std::fflush(stdout); // the name stays on screen if the input brings the process down
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char** argv) {
    std::size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::vector<fs::path> files;
        if (fs::is_directory(arg)) {
            for (const auto& entry : fs::directory_iterator(arg))
                if (entry.is_regular_file())
                    files.push_back(entry.path());
            std::sort(files.begin(), files.end());
        } else if (fs::exists(arg)) {
            files.push_back(arg);
        }
        for (const auto& file : files) {
            RunOne(file);
            ++runs;
        }
    }
    std::printf("replayed %zu inputs\n", runs);
    return runs ? 0 : 1; // no input at all means the seeds went missing
}
