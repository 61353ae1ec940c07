#include "server/response_stream.h"

#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/uio.h>

#include <cerrno>
#include <charconv>
#include <ctime>

#include "server/form_data.h"
#include "server/static_files.h"

namespace vantrel::server {

namespace {

int code_of(std::string_view status) {
  int code = 0;
  std::from_chars(status.data(), status.data() + std::min<std::size_t>(status.size(), 3), code);
  return code;
}

// 1xx, 204 and 304 responses have no body.
bool has_body(int code) { return code >= 200 && code != 204 && code != 304; }

}  // namespace

ResponseStream::ResponseStream(int fd, const HttpRequest& request)
    : fd_(fd),
      head_only_(request.method == "HEAD"),
      keep_alive_(request.keep_alive()),
      minor_version_(request.minor_version) {}

std::string ResponseStream::head(std::string_view status,
                                 const std::vector<Header>& headers) const {
  std::string text;
  text.reserve(256);
  text += minor_version_ == 0 ? "HTTP/1.0 " : "HTTP/1.1 ";
  text += status;
  text += "\r\nDate: ";
  text += http_date(std::time(nullptr));
  text += "\r\nServer: Vantrel\r\n";
  for (const Header& h : headers) {
    text += h.name;
    text += ": ";
    text += h.value;
    text += "\r\n";
  }
  return text;
}

bool ResponseStream::send(std::string_view a, std::string_view b, std::string_view c) {
  if (failed_) return false;
  // sendmsg does not write through these pointers.
  iovec parts[3] = {{const_cast<char*>(a.data()), a.size()},
                    {const_cast<char*>(b.data()), b.size()},
                    {const_cast<char*>(c.data()), c.size()}};
  msghdr message{};
  message.msg_iov = parts;
  message.msg_iovlen = 3;
  while (parts[0].iov_len + parts[1].iov_len + parts[2].iov_len > 0) {
    const ssize_t sent = sendmsg(fd_, &message, MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return false;
    }
    auto left = static_cast<std::size_t>(sent);
    for (iovec& part : parts) {
      const std::size_t used = std::min(left, part.iov_len);
      part.iov_base = static_cast<char*>(part.iov_base) + used;
      part.iov_len -= used;
      left -= used;
    }
  }
  return true;
}

std::string ResponseStream::whole_head(std::string_view status, const std::vector<Header>& headers,
                                       std::size_t length) {
  status_code_ = code_of(status);
  started_ = true;
  std::string text = head(status, headers);
  if (has_body(status_code_)) {
    text += "Content-Length: ";
    text += std::to_string(length);
    text += "\r\n";
  }
  text += keep_alive_ ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
  return text;
}

bool ResponseStream::send_whole(std::string_view status, const std::vector<Header>& headers,
                                std::string_view body) {
  const std::string text = whole_head(status, headers, body.size());
  if (head_only_ || !has_body(status_code_)) body = {};
  body_bytes_ += body.size();
  return send(text, body);
}

bool ResponseStream::send_file(std::string_view status, const std::vector<Header>& headers,
                               int file, std::size_t size) {
  if (!send(whole_head(status, headers, size))) return false;
  if (head_only_ || !has_body(status_code_)) return true;
  off_t offset = 0;
  while (static_cast<std::size_t>(offset) < size) {
    const ssize_t sent = sendfile(fd_, file, &offset, size - static_cast<std::size_t>(offset));
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) {  // the client went away, or the file is shorter now
      failed_ = true;
      return false;
    }
    body_bytes_ += static_cast<std::size_t>(sent);
  }
  return true;
}

bool ResponseStream::start_stream(std::string_view status, const std::vector<Header>& headers) {
  status_code_ = code_of(status);
  started_ = true;
  std::string text = head(status, headers);
  if (!head_only_ && has_body(status_code_)) {
    if (minor_version_ >= 1) {
      chunked_ = true;
      text += "Transfer-Encoding: chunked\r\n";
    } else {
      keep_alive_ = false;  // the end of the body is the end of the connection
    }
  }
  text += keep_alive_ ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
  return send(text);
}

bool ResponseStream::send_part(std::string_view part) {
  if (part.empty() || head_only_ || !has_body(status_code_)) return !failed_;
  body_bytes_ += part.size();
  if (!chunked_) return send(part);
  // The chunk's size line, in hex, written on the stack.
  char size[24];
  char* end = std::to_chars(size, size + sizeof size - 2, part.size(), 16).ptr;
  *end++ = '\r';
  *end++ = '\n';
  return send(std::string_view(size, static_cast<std::size_t>(end - size)), part, "\r\n");
}

bool ResponseStream::finish_stream() { return chunked_ ? send("0\r\n\r\n") : !failed_; }

std::string error_page(std::string_view status, std::string_view detail) {
  std::string page = "<!DOCTYPE html>\n<html><head><title>";
  page += status;
  page += "</title></head>\n<body><h1>";
  page += status;
  page += "</h1>\n";
  if (!detail.empty()) {
    page += "<pre>";
    page += html_encode(detail);
    page += "</pre>\n";
  }
  page += "</body></html>\n";
  return page;
}

}  // namespace vantrel::server
