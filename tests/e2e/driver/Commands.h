#pragma once
// The driver's subcommands. Each prints its result on stdout and returns the exit code:
// 0 done, 1 the program is not in the state asked about (or did not answer), 2 bad arguments.

#include <span>
#include <string>
#include <string_view>

namespace e2e {

using Words = std::span<const std::string>;

struct Command {
    std::string_view name;
    std::string_view arguments;  // for the usage text
    std::size_t minWords;
    std::size_t maxWords;
    int (*run)(Words words);
};

std::span<const Command> commands();

}  // namespace e2e
