// The page host: any bytes run as a page under a short time limit and a
// small heap cap. A page ends with one of the page statuses, whatever it
// does; it never crashes the host, and what it wrote is valid UTF-8.
#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "host/library_dir.h"
#include "host/page_host.h"
#include "platform/posix/runtime.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool valid_utf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = byte < 0x80                   ? 1
                         : byte >= 0xC2 && byte < 0xE0 ? 2
                         : byte >= 0xE0 && byte < 0xF0 ? 3
                         : byte >= 0xF0 && byte < 0xF5 ? 4
                                                       : 0;
    if (length == 0 || i + length > text.size()) return false;
    std::uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) return false;
    i += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string reason;
  const std::string library = vantrel::host::library_file("libvantrel.so");
  // The runtime unloads the library when no object is left; libFuzzer keeps
  // pointers to its coverage counters, so it must stay mapped.
  check(dlopen(library.c_str(), RTLD_NOW | RTLD_NODELETE) != nullptr);
  check(!vantrel::posix::failed(vantrel::posix::register_server(library, &reason)));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vantrel::host;
  const std::string_view source(reinterpret_cast<const char*>(data), size);
  const PageLimits limits{std::chrono::milliseconds(500), std::size_t{32} << 20};
  const PageResult result = run_page(source, "fuzz.js", limits);
  switch (result.exit_status) {
    case kPageWritten:
    case kPageFailed:
    case kPageNotCompiled:
    case kPageTimedOut:
    case kPageOutOfMemory:
      break;
    default:
      std::abort();
  }
  check(valid_utf8(result.page));
  check(result.exit_status == kPageWritten || !result.diagnostics.empty());
  return 0;
}
