#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "server/http_message.h"

// Writes one response to a client socket: whole (with Content-Length), from
// a file, or streamed in parts (chunked on HTTP/1.1; on HTTP/1.0 the body
// runs until the connection closes). A HEAD request gets the head alone. A
// client that has gone away makes every later write a no-op.
namespace vantrel::server {

class ResponseStream {
 public:
  ResponseStream(int fd, const HttpRequest& request);

  // `status` is the status line's text, "200 OK"; `headers` are added after
  // Date and Server and before the framing headers (Content-Length, the
  // body's, and Connection). A HEAD request gets the head alone.
  bool send_whole(std::string_view status, const std::vector<Header>& headers,
                  std::string_view body);
  // A whole response whose body is the first `size` bytes of the open file
  // `file`, sent by the kernel from the file's pages (no copy here, no size
  // limit). A file cut short meanwhile ends the body early, and the
  // connection is closed after it, so that the client sees it incomplete.
  bool send_file(std::string_view status, const std::vector<Header>& headers, int file,
                 std::size_t size);
  bool start_stream(std::string_view status, const std::vector<Header>& headers);
  bool send_part(std::string_view part);
  bool finish_stream();

  // Leave the connection open after this response?
  bool keep_alive() const { return keep_alive_ && !failed_; }
  void close_after() { keep_alive_ = false; }
  bool started() const { return started_; }
  int status_code() const { return status_code_; }
  std::size_t body_bytes() const { return body_bytes_; }

 private:
  std::string head(std::string_view status, const std::vector<Header>& headers) const;
  // The head of a whole response with a body of `length` bytes, framing
  // included; records the status.
  std::string whole_head(std::string_view status, const std::vector<Header>& headers,
                         std::size_t length);
  bool send(std::string_view a, std::string_view b = {}, std::string_view c = {});

  int fd_;
  bool head_only_;
  bool chunked_ = false;
  bool keep_alive_;
  bool started_ = false;
  bool failed_ = false;
  int minor_version_;
  int status_code_ = 0;
  std::size_t body_bytes_ = 0;
};

// A short HTML page for an error status.
std::string error_page(std::string_view status, std::string_view detail = {});

}  // namespace vantrel::server
