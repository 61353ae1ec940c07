// The browser compatibility script (client/vantrel-compat.js), as it ships.
#pragma once

#include <string>
#include <string_view>

namespace vantrel::client {

// The bytes of vantrel-compat.js, exactly as in the repository.
std::string_view compat_script() noexcept;

// Puts `<script src="SRC"></script>` first in a page, after a leading
// document type declaration (which must stay first, or the page leaves
// standards mode). The component outputs themselves never carry the tag.
void insert_compat_tag(std::string& page, std::string_view src);

}  // namespace vantrel::client
