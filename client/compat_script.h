// The browser compatibility script (client/vantrel-compat.js), as it ships.
#pragma once

#include <string_view>

namespace vantrel::client {

// The bytes of vantrel-compat.js, exactly as in the repository.
std::string_view compat_script() noexcept;

}  // namespace vantrel::client
