// Parts of the C++ runtime that the product defines itself, so that the static link leaves out
// libstdc++'s own versions and everything they bring with them. The program never shows or logs an
// error text, so none of what is left out was ever seen by anyone.

#include <windows.h>

#include <exception>
#include <new>
#include <typeinfo>
#include <vector>  // declares the throw helpers

#ifdef __GLIBCXX__

// The library's default handler writes the exception's demangled type to stderr, which a GUI
// program does not have, and costs the demangler and a printf. Only an exception that escapes
// through a system callback or a noexcept function gets here; the process just ends, with no
// message box.
void __gnu_cxx::__verbose_terminate_handler() { TerminateProcess(GetCurrentProcess(), 3); }

// The standard containers report misuse and impossible sizes through these helpers. The library keeps
// them in one object that constructs every standard exception class, and those carry a string of the
// old ABI and, through it, both string implementations. Here the allocation failures keep their own
// light classes and the rest throw one error that carries the library's message. The program catches
// std::exception (the start-up's trap) or everything (main), so what arrives there is unchanged.
// The whole set is defined so that the library's object is never needed.
namespace {

class LibraryError : public std::exception {
  public:
    explicit LibraryError(const char* what) noexcept : what_(what) {}
    const char* what() const noexcept override { return what_; }

  private:
    const char* what_;
};

[[noreturn, gnu::noinline]] void throwLibraryError(const char* what) { throw LibraryError(what); }

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* what) { throwLibraryError(what); }
void __throw_domain_error(const char* what) { throwLibraryError(what); }
void __throw_invalid_argument(const char* what) { throwLibraryError(what); }
void __throw_length_error(const char* what) { throwLibraryError(what); }
void __throw_out_of_range(const char* what) { throwLibraryError(what); }
void __throw_out_of_range_fmt(const char* format, ...) { throwLibraryError(format); }
void __throw_runtime_error(const char* what) { throwLibraryError(what); }
void __throw_range_error(const char* what) { throwLibraryError(what); }
void __throw_overflow_error(const char* what) { throwLibraryError(what); }
void __throw_underflow_error(const char* what) { throwLibraryError(what); }

}  // namespace std

#endif
