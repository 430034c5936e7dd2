// The program allocates only with new (std::nothrow) and checks for null.
// libstdc++ implements that form as a try block around the throwing new, so
// using it links the whole exception runtime (unwinder, personality routine,
// demangler, thread-local storage for the exception globals: about 100 KB)
// into a program that is built without exceptions. These replacements ask
// the C runtime directly; the standard's delete operators free what they
// return.
#include <cstdlib>
#include <new>

void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  return std::malloc(size ? size : 1);
}

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
  return std::malloc(size ? size : 1);
}
