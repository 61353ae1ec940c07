#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The name-value texts of a request: query strings and url-encoded forms,
// multipart forms, cookies; and the encodings a page applies to its output.
namespace vantrel::server {

using NameValues = std::vector<std::pair<std::string, std::string>>;

// Decodes %XX escapes (and '+' as a space when `plus_is_space`); false on a
// broken escape.
bool percent_decode(std::string_view text, bool plus_is_space, std::string& out);

// "a=1&b=x+y": pairs in order; a broken escape is kept as written.
NameValues parse_url_encoded(std::string_view text);

// "a=1; b=2" (the Cookie header).
NameValues parse_cookies(std::string_view header);

// A multipart/form-data body; `content_type` carries the boundary. A file
// field's value is its file name. False when the body is not well formed.
bool parse_multipart(std::string_view body, std::string_view content_type, NameValues& out);

// The value of `name` (compared without regard to case); repeated names give
// their values joined with ", "; nullopt when the name is missing.
std::optional<std::string> find_value(const NameValues& values, std::string_view name);

// Replaces & < > " ' with character references.
std::string html_encode(std::string_view text);

// Letters, digits and - _ . ~ stay; a space becomes '+'; every other byte %XX.
std::string url_encode(std::string_view text);

}  // namespace vantrel::server
