#include "server/form_data.h"

#include <algorithm>
#include <cctype>

#include "frame/text.h"
#include "server/http_message.h"

namespace vantrel::server {

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string lenient_decode(std::string_view text) {
  std::string out;
  if (!percent_decode(text, true, out)) {
    out.assign(text);
    std::replace(out.begin(), out.end(), '+', ' ');
  }
  return out;
}

// The value of parameter `name` in a header value such as
// `form-data; name="a"; filename="b"`; nullopt when missing.
std::optional<std::string> header_parameter(std::string_view value, std::string_view name) {
  std::size_t at = value.find(';');
  while (at != std::string_view::npos) {
    std::string_view rest = trim_blanks(value.substr(at + 1));
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = trim_blanks(rest.substr(0, equals));
    rest = trim_blanks(rest.substr(equals + 1));
    std::string parameter;
    std::size_t used = 0;
    if (!rest.empty() && rest[0] == '"') {
      std::size_t i = 1;
      for (; i < rest.size() && rest[i] != '"'; ++i) {
        if (rest[i] == '\\' && i + 1 < rest.size()) ++i;
        parameter += rest[i];
      }
      used = std::min(i + 1, rest.size());
    } else {
      used = std::min(rest.find(';'), rest.size());
      parameter = trim_blanks(rest.substr(0, used));
    }
    if (equals_ignoring_case(key, name)) return parameter;
    const std::size_t next = rest.find(';', used);
    if (next == std::string_view::npos) return std::nullopt;
    at = static_cast<std::size_t>(rest.data() - value.data()) + next;
  }
  return std::nullopt;
}

}  // namespace

bool percent_decode(std::string_view text, bool plus_is_space, std::string& out) {
  out.clear();
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      const int high = i + 1 < text.size() ? hex_value(text[i + 1]) : -1;
      const int low = i + 2 < text.size() ? hex_value(text[i + 2]) : -1;
      if (high < 0 || low < 0) return false;
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += plus_is_space && c == '+' ? ' ' : c;
    }
  }
  return true;
}

NameValues parse_url_encoded(std::string_view text) {
  NameValues values;
  while (!text.empty()) {
    const std::size_t amp = std::min(text.find('&'), text.size());
    const std::string_view pair = text.substr(0, amp);
    text.remove_prefix(std::min(amp + 1, text.size()));
    if (pair.empty()) continue;
    const std::size_t equals = std::min(pair.find('='), pair.size());
    values.emplace_back(lenient_decode(pair.substr(0, equals)),
                        lenient_decode(pair.substr(std::min(equals + 1, pair.size()))));
  }
  return values;
}

NameValues parse_cookies(std::string_view header) {
  NameValues values;
  while (!header.empty()) {
    const std::size_t semi = std::min(header.find(';'), header.size());
    const std::string_view pair = trim_blanks(header.substr(0, semi));
    header.remove_prefix(std::min(semi + 1, header.size()));
    const std::size_t equals = pair.find('=');
    if (pair.empty() || equals == std::string_view::npos) continue;
    std::string_view value = trim_blanks(pair.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
      value = value.substr(1, value.size() - 2);
    }
    std::string decoded;
    if (!percent_decode(value, false, decoded)) decoded.assign(value);
    values.emplace_back(std::string(trim_blanks(pair.substr(0, equals))), std::move(decoded));
  }
  return values;
}

bool parse_multipart(std::string_view body, std::string_view content_type, NameValues& out) {
  const std::optional<std::string> boundary = header_parameter(content_type, "boundary");
  if (!boundary || boundary->empty() || boundary->size() > 200) return false;
  const std::string delimiter = "--" + *boundary;
  std::size_t at = body.find(delimiter);
  if (at == std::string_view::npos) return false;
  for (;;) {
    at += delimiter.size();
    if (body.substr(at, 2) == "--") return true;  // the closing delimiter
    if (body.substr(at, 2) != "\r\n") return false;
    at += 2;
    const std::size_t head_end = body.find("\r\n\r\n", at);
    if (head_end == std::string_view::npos) return false;
    std::optional<std::string> name;
    std::optional<std::string> file_name;
    std::string_view head = body.substr(at, head_end - at + 2);
    while (!head.empty()) {
      const std::size_t eol = head.find("\r\n");
      const std::string_view line = head.substr(0, eol);
      head.remove_prefix(eol + 2);
      const std::size_t colon = line.find(':');
      if (colon == std::string_view::npos) continue;
      if (equals_ignoring_case(trim_blanks(line.substr(0, colon)), "content-disposition")) {
        name = header_parameter(line.substr(colon + 1), "name");
        file_name = header_parameter(line.substr(colon + 1), "filename");
      }
    }
    const std::size_t content = head_end + 4;
    const std::size_t next = body.find("\r\n" + delimiter, content);
    if (next == std::string_view::npos) return false;
    if (name)
      out.emplace_back(*name, file_name ? *file_name : body.substr(content, next - content));
    at = next + 2;
  }
}

std::optional<std::string> find_value(const NameValues& values, std::string_view name) {
  std::optional<std::string> found;
  for (const auto& [key, value] : values) {
    if (!equals_ignoring_case(key, name)) continue;
    if (found) {
      *found += ", ";
      *found += value;
    } else {
      found = value;
    }
  }
  return found;
}

std::string html_encode(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string url_encode(std::string_view text) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (std::isalnum(byte) != 0 || c == '-' || c == '_' || c == '.' || c == '~') {
      out += c;
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    }
  }
  return out;
}

}  // namespace vantrel::server
