#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// HTTP/1.x requests as they arrive: the head (request line and headers) is
// parsed from the bytes read so far; bodies come by length or in chunks.
namespace vantrel::server {

struct Header {
  std::string name;  // in lower case
  std::string value;
};

struct HttpRequest {
  std::string method;
  std::string target;  // as sent
  std::string path;    // the target's path, still percent-encoded
  std::string query;   // after '?', still encoded
  int minor_version = 1;
  std::vector<Header> headers;
  std::string body;
  bool chunked = false;
  std::size_t content_length = 0;

  // The value of a header, empty when it is missing; repeated headers are
  // joined with ", ".
  std::string header(std::string_view lower_name) const;
  bool has_header(std::string_view lower_name) const;
  // Whether the client keeps the connection open after this request.
  bool keep_alive() const;
};

enum class Parse {
  Incomplete,  // more bytes needed
  Complete,
  Malformed,    // 400
  TooLarge,     // 431 for a head, 413 for a body
  Unsupported,  // 501 (a transfer coding other than chunked) or 505 (a version)
};

struct ParseLimits {
  std::size_t max_head = 16 * 1024;
  std::size_t max_headers = 100;
};

// Whether `text` is a token (a method, a header or cookie name): letters,
// digits and !#$%&'*+-.^_`|~, at least one.
bool is_token(std::string_view text);

// Parses a request head at the start of `bytes`. On Complete, `head_size`
// is its length including the blank line and `request` is filled in
// (without the body); on Malformed or Unsupported, `status` is the status
// to answer with.
Parse parse_head(std::string_view bytes, const ParseLimits& limits, HttpRequest& request,
                 std::size_t& head_size, int& status);

// Decodes a chunked body at the start of `bytes` into `body`, resuming where
// an earlier call on the same bytes stopped: start with `body` empty and
// `used` 0, and call again with both as they were left when more bytes have
// arrived (each chunk is decoded once). On Complete, `used` is how many
// bytes the body took (trailers included).
Parse parse_chunked(std::string_view bytes, std::size_t max_body, std::string& body,
                    std::size_t& used);

// "404 Not Found" for 404; "500 Internal Server Error" for an unknown code.
std::string_view status_text(int status);

}  // namespace vantrel::server
