// Acts on the running program from outside, as a user or a screen reader would, for the
// end-to-end scenarios: kestrove_driver <command> <arguments...>

#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: kestrove_driver <command> ...\n");
    for (const auto& command : e2e::commands()) {
        std::fprintf(stderr, "  %.*s %.*s\n", static_cast<int>(command.name.size()), command.name.data(),
                     static_cast<int>(command.arguments.size()), command.arguments.data());
    }
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string name = argv[1];
    const std::vector<std::string> words(argv + 2, argv + argc);
    for (const auto& command : e2e::commands()) {
        if (command.name != name) continue;
        if (words.size() < command.minWords || words.size() > command.maxWords) return usage();
        const int code = command.run(words);
        std::fflush(stdout);
        return code;
    }
    return usage();
}
