// The plug-in carries its own copy of the C++ runtime (linked statically), and
// that copy reserves an emergency pool for exceptions when the library is
// loaded. Nothing frees it when a host unloads the library, so every load and
// unload cycle would lose it (about 70 KB). Release it as the library goes.
// Only valid because the runtime is our private copy: in a build that uses the
// shared runtime this file must not be linked.
#include <cstddef> // defines __GLIBCXX__ for the runtime in use

#if defined(__GLIBCXX__) && !defined(_WIN32)
namespace __gnu_cxx {
void __freeres() noexcept; // frees the runtime's emergency exception pool
} // namespace __gnu_cxx

namespace {
__attribute__((destructor)) void ReleasePrivateRuntime() { __gnu_cxx::__freeres(); }
} // namespace
#endif
