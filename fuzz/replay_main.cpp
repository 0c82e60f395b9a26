// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target's entry point once over each input file, without libFuzzer, so that
// the committed corpus is checked by every ordinary build and test run. Arguments are files
// or folders (every regular file in a folder, in name order). A target that finds a fault
// aborts, which fails the run; a run that finds no input at all fails too, so that a
// corpus moved away cannot pass unnoticed.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsIn(const std::filesystem::path& argument) {
    std::vector<std::filesystem::path> inputs;
    std::error_code error;
    if (std::filesystem::is_directory(argument, error)) {
        for (const auto& entry : std::filesystem::directory_iterator(argument, error)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
        std::sort(inputs.begin(), inputs.end());
    } else if (std::filesystem::is_regular_file(argument, error)) {
        inputs.push_back(argument);
    }
    if (error) {
        std::fprintf(stderr, "replay: %s: %s\n", argument.c_str(), error.message().c_str());
        inputs.clear();
    }
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::vector<std::filesystem::path> inputs = inputsIn(argv[i]);
        if (inputs.empty()) {
            std::fprintf(stderr, "replay: no input in %s\n", argv[i]);
            return 1;
        }
        for (const auto& input : inputs) {
            std::ifstream file(input, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
            if (!file.good() && !file.eof()) {
                std::fprintf(stderr, "replay: cannot read %s\n", input.c_str());
                return 1;
            }
            std::printf("replay: %s\n", input.filename().c_str());
            std::fflush(stdout);
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++replayed;
        }
    }
    if (replayed == 0) {
        std::fprintf(stderr, "replay: no input given\n");
        return 1;
    }
    std::printf("replay: %d inputs, no fault\n", replayed);
    return 0;
}
