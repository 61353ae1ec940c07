#include "frame/output.h"

namespace vantrel {

// Out of line on purpose: here a block's size is not known when the caller
// is compiled, so the copies are the C library's.

Output& Output::add_block(std::string_view block) {
  text_.append(block);
  return *this;
}

char* Output::copy_long(char* at, std::string_view text) { return copy(at, text); }

}  // namespace vantrel
