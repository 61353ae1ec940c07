# cmake -DINPUT=file -DOUTPUT=source.cpp -P embed_file.cmake
# Writes a C++ source whose compat_script() returns the bytes of INPUT,
# unchanged (every byte as a hexadecimal escape, so nothing is reinterpreted).
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
set(body "")
set(offset 0)
while(offset LESS length)
  string(SUBSTRING "${hex}" ${offset} 64 chunk)
  string(REGEX REPLACE "(..)" "\\\\x\\1" chunk "${chunk}")
  string(APPEND body "    \"${chunk}\"\n")
  math(EXPR offset "${offset} + 64")
endwhile()
if(body STREQUAL "")
  set(body "    \"\"\n")
endif()
file(WRITE "${OUTPUT}.new"
"// Generated from ${INPUT} at build time; do not edit.
#include \"client/compat_script.h\"

namespace vantrel::client {
namespace {
constexpr std::string_view kScript{
${body}    , ${size}};
}  // namespace

std::string_view compat_script() noexcept { return kScript; }

}  // namespace vantrel::client
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
