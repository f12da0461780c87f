// Any arguments, split at zero bytes: the parse never reads past them, every file it keeps
// is one of the arguments, and the frame count is in range.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/game_main.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

constexpr size_t kMaxArguments = 32;

bool is_argument(const char* kept, const std::vector<char*>& argv) {
    if (kept == nullptr) return true;
    for (const char* arg : argv) {
        if (arg == kept) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args{"torvi"};
    std::string current;
    for (size_t i = 0; i < size && args.size() < kMaxArguments; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    if (!current.empty() && args.size() < kMaxArguments) args.push_back(current);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);

    RunOptions options;
    const CommandLine result =
        parse_command_line(static_cast<int>(argv.size()), argv.data(), options);
    if (result != command_line_run) return 0;
    check(options.frames >= 0 && options.frames <= kMaxFrames);
    check(!options.screenshot || options.frames >= 1);
    for (const char* kept :
         {options.data_dir, options.screenshot, options.script, options.record}) {
        check(is_argument(kept, argv));
    }
    return 0;
}
