#include "client/compat_script.h"
#include "frame/text.h"

namespace vantrel::client {

void insert_compat_tag(std::string& page, std::string_view src) {
  std::size_t at = 0;
  if (equals_ignoring_case(std::string_view(page).substr(0, 9), "<!doctype")) {
    const std::size_t close = page.find('>');
    at = close == std::string::npos ? 0 : close + 1;
    if (at < page.size() && page[at] == '\r') ++at;
    if (at < page.size() && page[at] == '\n') ++at;
  }
  std::string tag;
  tag.reserve(src.size() + 24);
  tag.append("<script src=\"").append(src).append("\"></script>\n");
  page.insert(at, tag);
}

}  // namespace vantrel::client
