#include "server/http_message.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

#include "frame/text.h"

namespace vantrel::server {

namespace {

bool is_token_char(char c) {
  if (std::isalnum(static_cast<unsigned char>(c)) != 0) return true;
  constexpr std::string_view kMarks = "!#$%&'*+-.^_`|~";
  return kMarks.find(c) != std::string_view::npos;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ascii_lower(c);
  return out;
}

// The next line of `bytes` from `at`, without its end (CR LF or LF); false
// when no full line is there yet. A CR inside a line makes it malformed.
bool next_line(std::string_view bytes, std::size_t& at, std::string_view& line, bool& malformed) {
  const std::size_t end = bytes.find('\n', at);
  if (end == std::string_view::npos) return false;
  line = bytes.substr(at, end - at);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  malformed = line.find('\r') != std::string_view::npos;
  at = end + 1;
  return true;
}

bool parse_size(std::string_view text, int base, std::size_t& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size();
}

Parse malformed(int& status) {
  status = 400;
  return Parse::Malformed;
}

bool parse_request_line(std::string_view line, HttpRequest& request, int& status) {
  const std::size_t first = line.find(' ');
  const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos) {
    status = 400;
    return false;
  }
  const std::string_view method = line.substr(0, first);
  std::string_view target = line.substr(first + 1, second - first - 1);
  const std::string_view version = line.substr(second + 1);
  if (!is_token(method) || target.empty()) {
    status = 400;
    return false;
  }
  if (version == "HTTP/1.1") {
    request.minor_version = 1;
  } else if (version == "HTTP/1.0") {
    request.minor_version = 0;
  } else {
    status = version.starts_with("HTTP/") ? 505 : 400;
    return false;
  }
  for (const char c : target) {
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) {
      status = 400;
      return false;
    }
  }
  request.method = method;
  request.target = target;
  // The absolute form names the server too: keep its path.
  for (const std::string_view scheme : {"http://", "https://"}) {
    if (target.size() > scheme.size() &&
        equals_ignoring_case(target.substr(0, scheme.size()), scheme)) {
      const std::size_t slash = target.find('/', scheme.size());
      target = slash == std::string_view::npos ? "/" : target.substr(slash);
    }
  }
  if (target[0] != '/') {
    status = 400;
    return false;
  }
  const std::size_t question = target.find('?');
  request.path = target.substr(0, question);
  request.query = question == std::string_view::npos ? "" : target.substr(question + 1);
  const std::size_t hash = request.query.find('#');
  if (hash != std::string::npos) request.query.erase(hash);
  return true;
}

}  // namespace

bool is_token(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), is_token_char);
}

std::string HttpRequest::header(std::string_view lower_name) const {
  std::string value;
  for (const Header& h : headers) {
    if (h.name != lower_name) continue;
    if (!value.empty()) value += ", ";
    value += h.value;
  }
  return value;
}

bool HttpRequest::has_header(std::string_view lower_name) const {
  return std::any_of(headers.begin(), headers.end(),
                     [&](const Header& h) { return h.name == lower_name; });
}

bool HttpRequest::keep_alive() const {
  const std::string connection = header("connection");
  const auto names = [&](std::string_view option) {
    std::size_t at = 0;
    while (at <= connection.size()) {
      const std::size_t comma = std::min(connection.find(',', at), connection.size());
      if (equals_ignoring_case(trim_blanks(std::string_view(connection).substr(at, comma - at)),
                               option)) {
        return true;
      }
      at = comma + 1;
    }
    return false;
  };
  return minor_version >= 1 ? !names("close") : names("keep-alive");
}

Parse parse_head(std::string_view bytes, const ParseLimits& limits, HttpRequest& request,
                 std::size_t& head_size, int& status) {
  status = 0;
  // Blank lines before a request line are tolerated.
  std::size_t at = 0;
  while (at < bytes.size() && (bytes[at] == '\r' || bytes[at] == '\n')) ++at;
  const std::size_t end = bytes.find("\n\r\n", at);
  const std::size_t bare_end = bytes.find("\n\n", at);
  const std::size_t head_end =
      std::min(end == std::string_view::npos ? end : end + 3,
               bare_end == std::string_view::npos ? bare_end : bare_end + 2);
  if (head_end == std::string_view::npos) {
    if (bytes.size() > limits.max_head) {
      status = 431;
      return Parse::TooLarge;
    }
    return Parse::Incomplete;
  }
  if (head_end > limits.max_head) {
    status = 431;
    return Parse::TooLarge;
  }
  request = HttpRequest{};
  std::string_view line;
  bool bad = false;
  if (!next_line(bytes, at, line, bad) || bad || !parse_request_line(line, request, status)) {
    if (status == 0) status = 400;
    return status == 505 ? Parse::Unsupported : Parse::Malformed;
  }
  while (next_line(bytes, at, line, bad) && !line.empty()) {
    if (bad || line[0] == ' ' || line[0] == '\t') return malformed(status);  // no folding
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || !is_token(line.substr(0, colon))) {
      return malformed(status);
    }
    const std::string_view value = trim_blanks(line.substr(colon + 1));
    if (value.find('\0') != std::string_view::npos) return malformed(status);
    if (request.headers.size() >= limits.max_headers) {
      status = 431;
      return Parse::TooLarge;
    }
    request.headers.push_back({lower(line.substr(0, colon)), std::string(value)});
  }
  head_size = at;

  if (request.minor_version == 1 && !request.has_header("host")) return malformed(status);
  const std::string coding = request.header("transfer-encoding");
  const bool has_length = request.has_header("content-length");
  if (!coding.empty()) {
    // A length beside a coding is how requests get smuggled past proxies.
    if (has_length) return malformed(status);
    if (!equals_ignoring_case(coding, "chunked")) {
      status = 501;
      return Parse::Unsupported;
    }
    request.chunked = true;
  } else if (has_length) {
    std::size_t length = 0;
    for (const Header& h : request.headers) {
      std::size_t this_length = 0;
      if (h.name != "content-length") continue;
      if (!parse_size(h.value, 10, this_length) || (length != 0 && this_length != length)) {
        return malformed(status);
      }
      length = this_length;
    }
    request.content_length = length;
  }
  return Parse::Complete;
}

Parse parse_chunked(std::string_view bytes, std::size_t max_body, std::string& body,
                    std::size_t& used) {
  std::size_t at = used;  // after the last chunk decoded before
  std::string_view line;
  bool bad = false;
  for (;;) {
    if (!next_line(bytes, at, line, bad)) return Parse::Incomplete;
    if (bad) return Parse::Malformed;
    std::string_view size_text = line.substr(0, line.find(';'));
    size_text = trim_blanks(size_text);
    std::size_t size = 0;
    if (size_text.size() > 15 || !parse_size(size_text, 16, size)) return Parse::Malformed;
    if (size == 0) break;
    if (body.size() + size > max_body) return Parse::TooLarge;
    if (bytes.size() - at < size + 2) return Parse::Incomplete;
    body.append(bytes.substr(at, size));
    at += size;
    if (bytes.substr(at, 2) == "\r\n") {
      at += 2;
    } else if (bytes[at] == '\n') {
      at += 1;
    } else {
      return Parse::Malformed;
    }
    used = at;
  }
  // Trailers, up to the blank line, are read and dropped.
  while (next_line(bytes, at, line, bad)) {
    if (bad) return Parse::Malformed;
    if (line.empty()) {
      used = at;
      return Parse::Complete;
    }
  }
  return Parse::Incomplete;
}

std::string_view status_text(int status) {
  static constexpr std::array<std::pair<int, std::string_view>, 22> kTexts{{
      {100, "100 Continue"},
      {200, "200 OK"},
      {204, "204 No Content"},
      {301, "301 Moved Permanently"},
      {302, "302 Found"},
      {303, "303 See Other"},
      {304, "304 Not Modified"},
      {307, "307 Temporary Redirect"},
      {400, "400 Bad Request"},
      {403, "403 Forbidden"},
      {404, "404 Not Found"},
      {405, "405 Method Not Allowed"},
      {408, "408 Request Timeout"},
      {411, "411 Length Required"},
      {413, "413 Content Too Large"},
      {414, "414 URI Too Long"},
      {431, "431 Request Header Fields Too Large"},
      {500, "500 Internal Server Error"},
      {501, "501 Not Implemented"},
      {503, "503 Service Unavailable"},
      {505, "505 HTTP Version Not Supported"},
      {410, "410 Gone"},
  }};
  for (const auto& [code, text] : kTexts) {
    if (code == status) return text;
  }
  return "500 Internal Server Error";
}

}  // namespace vantrel::server
