// The texts a client sends to vantrel serve: request heads, chunked bodies,
// url-encoded and multipart forms, cookies and dates. Any bytes are parsed
// or refused; a parsed head names a path from the root, a decoded body is no
// longer than its limit, and encoding for pages round-trips.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "server/form_data.h"
#include "server/http_message.h"
#include "server/static_files.h"

namespace {

using namespace vantrel::server;

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  HttpRequest request;
  std::size_t head_size = 0;
  int status = 0;
  const Parse head = parse_head(text, ParseLimits{}, request, head_size, status);
  if (head == Parse::Complete) {
    check(head_size <= text.size() && !request.path.empty() && request.path[0] == '/');
    (void)request.keep_alive();
  } else if (head != Parse::Incomplete) {
    check(status >= 400 && status <= 505);
  }

  std::string body;
  std::size_t used = 0;
  if (parse_chunked(text, 4096, body, used) == Parse::Complete) {
    check(used <= text.size() && body.size() <= 4096);
  }

  const NameValues form = parse_url_encoded(text);
  const NameValues cookies = parse_cookies(text);
  const NameValues parts = [&] {
    NameValues out;
    const std::size_t newline = text.find('\n');
    if (newline != std::string_view::npos) {
      (void)parse_multipart(text.substr(newline + 1), text.substr(0, newline), out);
    }
    return out;
  }();
  for (const NameValues* values : {&form, &cookies, &parts}) {
    for (const auto& [name, value] : *values) (void)find_value(*values, name);
  }

  const std::string html = html_encode(text);
  check(html.find_first_of("<>\"'") == std::string::npos);
  std::string decoded;
  check(percent_decode(url_encode(text), true, decoded) && decoded == text);
  (void)parse_http_date(text);
  return 0;
}
