#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// What static files need: their Content-Type and HTTP dates.
namespace vantrel::server {

// The Content-Type for a file name, by extension; application/octet-stream
// when unknown.
std::string_view content_type_for(std::string_view file_name);

// "Sun, 06 Nov 1994 08:49:37 GMT"
std::string http_date(std::time_t when);

// Reads an HTTP date (the form above; the two obsolete forms too).
std::optional<std::time_t> parse_http_date(std::string_view text);

}  // namespace vantrel::server
