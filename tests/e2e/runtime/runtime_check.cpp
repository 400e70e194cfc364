// The product's own runtime pieces checked under Wine: the standard containers' errors still arrive as
// std::exception carrying the library's message, allocation failures as their standard classes, and an
// exception that escapes a noexcept function ends the process with code 3 without writing anything.
//
//   kestrove_runtime_check            the checks, then "N passed, M failed"
//   kestrove_runtime_check terminate  lets an exception escape a noexcept function
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "services/Results.h"

namespace {

// True when the action throws an Error whose message contains text.
template <class Error, class Action>
bool throws(Action action, const char* text) {
    try {
        action();
    } catch (const Error& error) {
        return std::strstr(error.what(), text) != nullptr;
    } catch (...) {
    }
    return false;
}

[[gnu::noinline]] void raise(int value) {
    if (value != 0) throw value;
}

void escape(int value) noexcept { raise(value); }

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "terminate") == 0) {
        escape(argc);
        return 0;
    }
    e2e::services::Results results;
    results.section("library errors");
    const char* volatile null = nullptr;
    CHECK(throws<std::exception>([] { (void)std::string().at(1); }, "basic_string::at"));
    CHECK(throws<std::exception>([] { std::vector<int>().reserve(SIZE_MAX); }, "vector::reserve"));
    CHECK(throws<std::exception>([&] { std::string text(null); }, "null"));
    results.section("allocation");
    std::allocator<int> ints;
    CHECK(throws<std::bad_alloc>([&] { (void)ints.allocate(PTRDIFF_MAX / sizeof(int) + 1); }, ""));
    CHECK(throws<std::bad_array_new_length>([&] { (void)ints.allocate(SIZE_MAX / sizeof(int) + 1); }, ""));
    return results.report();
}
