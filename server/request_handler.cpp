#include "server/request_handler.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include "client/compat_script.h"
#include "host/page_source.h"
#include "server/page_request.h"
#include "server/site_paths.h"
#include "server/static_files.h"

namespace vantrel::server {

namespace {

constexpr std::string_view kCompatPath = "/vantrel-compat.js";

bool is_loopback(const std::string& address) {
  return address.starts_with("127.") || address == "::1" || address == "localhost";
}

// An error page for `status`, with `detail` in it when given.
void answer(ResponseStream& out, std::string_view status, std::vector<Header> headers = {},
            const std::string& detail = {}) {
  headers.insert(headers.begin(), {"Content-Type", "text/html; charset=utf-8"});
  out.send_whole(status, headers, error_page(status, detail));
}

void answer(ResponseStream& out, int status, std::vector<Header> headers = {}) {
  answer(out, status_text(status), std::move(headers));
}

// The compatibility script's tag, first in a page.
void insert_compat_tag(std::string& page) { client::insert_compat_tag(page, kCompatPath); }

// Files are only read: any other method is answered with 405, and true
// returned.
bool refused_unless_read(const HttpRequest& request, ResponseStream& out) {
  if (request.method == "GET" || request.method == "HEAD") return false;
  answer(out, 405, {{"Allow", "GET, HEAD"}});
  return true;
}

// Whether the client's copy, dated by If-Modified-Since, is as new as a
// file last changed at `modified`.
bool unchanged_since(const HttpRequest& request, std::time_t modified) {
  const auto since = parse_http_date(request.header("if-modified-since"));
  return since && modified <= *since;
}

}  // namespace

RequestHandler::RequestHandler(const ServerOptions& options)
    : options_(options), show_details_(is_loopback(options.bind)), started_(std::time(nullptr)) {}

void RequestHandler::refuse(ResponseStream& out, int status) {
  out.close_after();
  answer(out, status);
}

void RequestHandler::handle(const HttpRequest& request, const Peer& peer, ResponseStream& out,
                            std::string& problem) const {
  if (request.path == kCompatPath) return serve_compat_script(request, out);
  const SiteTarget target = resolve_site_path(options_.site, request.path);
  switch (target.kind) {
    case SiteTarget::Kind::BadRequest:
      return answer(out, 400);
    case SiteTarget::Kind::NotFound:
      return answer(out, 404);
    case SiteTarget::Kind::Redirect:
      return answer(
          out, 301,
          {{"Location", target.location + (request.query.empty() ? "" : "?" + request.query)}});
    case SiteTarget::Kind::File:
      return serve_file(request, target.file, out);
    case SiteTarget::Kind::Page:
      return serve_page(request, target.url_path, target.file, peer, out, problem);
  }
}

void RequestHandler::serve_file(const HttpRequest& request, const std::filesystem::path& file,
                                ResponseStream& out) const {
  if (refused_unless_read(request, out)) return;
  // Opened once: its size and time are those of the file that is sent. Not
  // waiting on the opening: a named pipe in the site must not hold a worker.
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return answer(out, 404);
  struct Closer {
    int fd;
    ~Closer() { close(fd); }
  } closer{fd};
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return answer(out, 404);
  const std::string modified = http_date(info.st_mtime);
  std::vector<Header> headers = {{"Content-Type", std::string(content_type_for(file.native()))},
                                 {"Last-Modified", modified}};
  if (unchanged_since(request, info.st_mtime)) {
    out.send_whole(status_text(304), headers, {});
    return;
  }
  out.send_file(status_text(200), headers, fd, static_cast<std::size_t>(info.st_size));
}

void RequestHandler::serve_compat_script(const HttpRequest& request, ResponseStream& out) const {
  if (refused_unless_read(request, out)) return;
  // It changes only with the server: its start is its modification time.
  std::vector<Header> headers = {{"Content-Type", "text/javascript; charset=utf-8"},
                                 {"Last-Modified", http_date(started_)}};
  if (unchanged_since(request, started_)) {
    out.send_whole(status_text(304), headers, {});
    return;
  }
  out.send_whole(status_text(200), headers, client::compat_script());
}

void RequestHandler::fail_page(ResponseStream& out, std::string_view status,
                               const std::string& details) const {
  answer(out, status, {}, show_details_ ? details : std::string());
}

void RequestHandler::serve_page(const HttpRequest& request, const std::string& script_name,
                                const std::filesystem::path& file, const Peer& peer,
                                ResponseStream& out, std::string& problem) const {
  if (request.method != "GET" && request.method != "HEAD" && request.method != "POST") {
    return answer(out, 405, {{"Allow", "GET, HEAD, POST"}});
  }
  const std::shared_ptr<const host::PageProgram> program =
      pages_.get(file, options_.site, script_name, problem);
  if (program == nullptr) return fail_page(out, status_text(500), problem);
  RequestInfo info;
  info.http = &request;
  info.script_name = script_name;
  info.site_root = options_.site;
  info.page_file = file;
  info.remote_address = peer.remote_address;
  info.remote_port = peer.remote_port;
  info.local_address = peer.local_address;
  info.local_port = peer.local_port;
  PageRequest page(*program, info, out, static_cast<int>(options_.timeout.count()));
  if (options_.compat_script) page.set_first_part_filter(&insert_compat_tag);
  host::PageLimits limits;
  limits.timeout = options_.timeout;
  limits.memory_bytes = options_.memory_limit;
  host::PageResult result = host::run_server_page(page, limits);

  if (result.exit_status == host::kPageOutOfMemory) {
    // Give the freed heap back to the system rather than keep it for a
    // thread that may never need it again.
    malloc_trim(0);
  }
  if (result.exit_status != host::kPageWritten) {
    problem = result.diagnostics;
    while (!problem.empty() && problem.back() == '\n') problem.pop_back();
    if (out.started()) {
      // The status went out with the first part: cut the response short so
      // the client sees it is incomplete.
      out.close_after();
      return;
    }
    // A page stopped by its time limit: the server is busy, not broken.
    return fail_page(out, status_text(result.exit_status == host::kPageTimedOut ? 503 : 500),
                     problem);
  }
  if (!out.started()) {
    if (options_.compat_script) insert_compat_tag(result.page);
    out.send_whole(page.status, page.headers(), result.page);
    return;
  }
  out.send_part(result.page);
  out.finish_stream();
}

}  // namespace vantrel::server
