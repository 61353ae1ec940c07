#include "server/http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "frame/text.h"
#include "server/http_message.h"
#include "server/response_stream.h"

namespace vantrel::server {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kReadTimeout{10};      // for each read of a request
constexpr std::chrono::seconds kRequestDeadline{30};  // for a whole request to arrive
constexpr std::size_t kReadSize = 16 * 1024;

void set_timeouts(int fd) {
  timeval tv{};
  tv.tv_sec = kReadTimeout.count();
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void address_of(const sockaddr_storage& address, std::string& text, int& port) {
  char buffer[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET6) {
    const auto& in6 = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &in6.sin6_addr, buffer, sizeof buffer);
    port = ntohs(in6.sin6_port);
  } else {
    const auto& in4 = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &in4.sin_addr, buffer, sizeof buffer);
    port = ntohs(in4.sin_port);
  }
  text = buffer;
  if (text.starts_with("::ffff:")) text.erase(0, 7);
}

enum class Read { Request, Closed, Refused };

}  // namespace

struct Connection {
  int fd = -1;
  std::string buffer;
  Peer peer;
  Clock::time_point idle_since;

  ~Connection() {
    if (fd >= 0) close(fd);
  }

  // Reads bytes into the buffer, straight into its new room (not cleared
  // first); false on end, error or timeout.
  bool fill() {
    const std::size_t old = buffer.size();
    ssize_t got = -1;
    buffer.resize_and_overwrite(old + kReadSize, [&](char* data, std::size_t) {
      do {
        got = recv(fd, data + old, kReadSize, 0);
      } while (got < 0 && errno == EINTR);
      return old + static_cast<std::size_t>(got > 0 ? got : 0);
    });
    return got > 0;
  }

  // After refusing a request whose body was not read: stop sending and read
  // what the client still sends for a moment, so that closing does not
  // reset the connection before the client has read the answer.
  void drain() {
    shutdown(fd, SHUT_WR);
    timeval tv{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    char sink[16 * 1024];
    for (int i = 0; i < 64 && recv(fd, sink, sizeof sink, 0) > 0; ++i) {
    }
  }

  void send_text(std::string_view text) const {
    (void)::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
  }

  // Reads the next request. On Refused, `status` says why.
  Read read_request(HttpRequest& request, std::size_t max_body, int& status) {
    const Clock::time_point deadline = Clock::now() + kRequestDeadline;
    const ParseLimits limits;
    std::size_t head_size = 0;
    for (;;) {
      const Parse parsed = parse_head(buffer, limits, request, head_size, status);
      if (parsed == Parse::Complete) break;
      if (parsed != Parse::Incomplete) return Read::Refused;
      if (Clock::now() > deadline || !fill()) {
        if (buffer.empty()) return Read::Closed;
        status = 408;
        return Read::Refused;
      }
    }
    if (!request.chunked && request.content_length > max_body) {
      status = 413;
      return Read::Refused;
    }
    const bool wants_body = request.chunked || request.content_length > 0;
    if (wants_body && buffer.size() == head_size &&
        equals_ignoring_case(request.header("expect"), "100-continue")) {
      send_text("HTTP/1.1 100 Continue\r\n\r\n");
    }
    std::size_t used = 0;  // of the chunked body, decoded so far
    for (;;) {
      if (request.chunked) {
        const Parse parsed =
            parse_chunked(std::string_view(buffer).substr(head_size), max_body, request.body, used);
        if (parsed == Parse::Malformed || parsed == Parse::TooLarge) {
          status = parsed == Parse::TooLarge ? 413 : 400;
          return Read::Refused;
        }
        if (parsed == Parse::Complete) {
          buffer.erase(0, head_size + used);
          return Read::Request;
        }
      } else if (buffer.size() - head_size >= request.content_length) {
        request.body.assign(buffer, head_size, request.content_length);
        buffer.erase(0, head_size + request.content_length);
        return Read::Request;
      }
      if (Clock::now() > deadline || !fill()) {
        status = 408;
        return Read::Refused;
      }
    }
  }
};

HttpServer::HttpServer(ServerOptions options) : options_(std::move(options)), handler_(options_) {
  if (options_.threads <= 0) {
    options_.threads = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
  }
}

HttpServer::~HttpServer() {
  for (std::thread& t : workers_) {
    if (t.joinable()) t.detach();
  }
  if (listen_fd_ >= 0) close(listen_fd_);
  if (epoll_fd_ >= 0) close(epoll_fd_);
  if (wake_fd_ >= 0) close(wake_fd_);
}

bool HttpServer::listen(std::string& error) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(options_.port);
  const int looked_up = getaddrinfo(options_.bind.c_str(), service.c_str(), &hints, &found);
  if (looked_up != 0) {
    error = "cannot use the address '" + options_.bind + "': " + gai_strerror(looked_up);
    return false;
  }
  for (addrinfo* a = found; a != nullptr && listen_fd_ < 0; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) continue;
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 1024) == 0) {
      listen_fd_ = fd;
    } else {
      error = "cannot listen on " + options_.bind + ":" + service + ": " + std::strerror(errno);
      close(fd);
    }
  }
  freeaddrinfo(found);
  if (listen_fd_ < 0) return false;
  sockaddr_storage local{};
  socklen_t size = sizeof local;
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&local), &size);
  std::string ignored;
  address_of(local, ignored, port_);

  // What stop() signals is made here, before any process that serves is
  // started from this one, so that stop() can reach it from the start; each
  // serving process makes its own epoll set (watch()).
  wake_fd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd_ < 0) {
    error = std::string("cannot wait for connections: ") + std::strerror(errno);
    return false;
  }
  return true;
}

void HttpServer::close_listener() {
  if (listen_fd_ >= 0) close(listen_fd_);
  listen_fd_ = -1;
}

bool HttpServer::watch() {
  // An epoll set of this serving process's own: the process it is started
  // from never makes one, so the next serving process, started after one
  // dies, does not inherit the registrations of the one that died.
  epoll_fd_ = epoll_create1(EPOLL_CLOEXEC);
  if (epoll_fd_ < 0) return false;
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = listen_fd_;
  epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, listen_fd_, &event);
  event.data.fd = wake_fd_;
  epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, wake_fd_, &event);
  return true;
}

void HttpServer::stop() {
  stopping_ = true;
  const std::uint64_t one = 1;
  if (wake_fd_ >= 0) (void)!write(wake_fd_, &one, sizeof one);
}

bool HttpServer::run() {
  if (!watch()) {
    std::fprintf(stderr, "vantrel serve: cannot wait for connections: %s\n", std::strerror(errno));
    return false;
  }
  for (int i = 0; i < options_.threads; ++i) {
    workers_.emplace_back([this] { worker(); });
  }
  {
    std::lock_guard lock(mutex_);
    workers_running_ = options_.threads;
  }
  epoll_event events[64];
  while (!stopping_) {
    const int count = epoll_wait(epoll_fd_, events, 64, 1000);
    for (int i = 0; i < count && !stopping_; ++i) {
      const int fd = events[i].data.fd;
      if (fd == listen_fd_) {
        accept_all();
      } else if (fd == wake_fd_) {
        // Taken, so that it wakes nobody again: the signal is shared with
        // the serving process that may follow this one, and stopping_ has it.
        std::uint64_t signals = 0;
        (void)!read(wake_fd_, &signals, sizeof signals);
      } else {
        std::lock_guard lock(mutex_);
        auto it = idle_.find(fd);
        if (it == idle_.end()) continue;
        queue_.push_back(std::move(it->second));
        idle_.erase(it);
        queue_ready_.notify_one();
      }
    }
    close_idle(false);
  }
  // Stop accepting, drop idle connections, let the running requests finish.
  close_listener();
  close_idle(true);
  std::unique_lock lock(mutex_);
  queue_closed_ = true;
  queue_ready_.notify_all();
  const bool finished =
      worker_done_.wait_for(lock, options_.grace, [this] { return workers_running_ == 0; });
  lock.unlock();
  for (std::thread& t : workers_) {
    if (finished) {
      t.join();
    } else {
      t.detach();
    }
  }
  workers_.clear();
  return finished;
}

void HttpServer::accept_all() {
  for (;;) {
    sockaddr_storage remote{};
    socklen_t size = sizeof remote;
    const int fd = accept4(listen_fd_, reinterpret_cast<sockaddr*>(&remote), &size, SOCK_CLOEXEC);
    if (fd < 0) return;  // EAGAIN, or a transient error: wait for the next event
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    set_timeouts(fd);
    address_of(remote, connection->peer.remote_address, connection->peer.remote_port);
    sockaddr_storage local{};
    size = sizeof local;
    getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
    address_of(local, connection->peer.local_address, connection->peer.local_port);
    // A worker takes it once its first request starts to arrive.
    make_idle(std::move(connection));
  }
}

void HttpServer::worker() {
  for (;;) {
    std::unique_ptr<Connection> connection;
    {
      std::unique_lock lock(mutex_);
      queue_ready_.wait(lock, [this] { return queue_closed_ || !queue_.empty(); });
      if (queue_.empty()) break;
      connection = std::move(queue_.front());
      queue_.pop_front();
    }
    serve(std::move(connection));
  }
  std::lock_guard lock(mutex_);
  --workers_running_;
  worker_done_.notify_all();
}

void HttpServer::serve(std::unique_ptr<Connection> connection) {
  for (;;) {
    HttpRequest request;
    int status = 0;
    const Read read = connection->read_request(request, options_.max_body, status);
    if (read == Read::Closed) return;
    const Clock::time_point start = Clock::now();
    ResponseStream out(connection->fd, request);
    std::string problem;
    if (read == Read::Refused) {
      RequestHandler::refuse(out, status);
      connection->drain();
    } else {
      if (stopping_) out.close_after();
      try {
        handler_.handle(request, connection->peer, out, problem);
      } catch (const std::exception& e) {
        problem = std::string("the server failed: ") + e.what();
        if (!out.started()) {
          out.close_after();
          RequestHandler::refuse(out, 500);
        }
      }
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    log_request(*connection, request, out.status_code(), out.body_bytes(), ms, problem);
    if (!out.keep_alive() || stopping_) return;
    if (connection->buffer.empty()) break;  // else the next request is already here
  }
  make_idle(std::move(connection));
}

void HttpServer::make_idle(std::unique_ptr<Connection> connection) {
  const int fd = connection->fd;
  connection->idle_since = Clock::now();
  std::lock_guard lock(mutex_);
  if (stopping_) return;  // closes it
  idle_[fd] = std::move(connection);
  epoll_event event{};
  event.events = EPOLLIN | EPOLLRDHUP | EPOLLONESHOT;
  event.data.fd = fd;
  if (epoll_ctl(epoll_fd_, EPOLL_CTL_MOD, fd, &event) != 0 &&
      epoll_ctl(epoll_fd_, EPOLL_CTL_ADD, fd, &event) != 0) {
    idle_.erase(fd);
  }
}

void HttpServer::close_idle(bool all) {
  const Clock::time_point limit = Clock::now() - options_.keep_alive;
  std::lock_guard lock(mutex_);
  for (auto it = idle_.begin(); it != idle_.end();) {
    if (all || it->second->idle_since < limit) {
      epoll_ctl(epoll_fd_, EPOLL_CTL_DEL, it->first, nullptr);
      it = idle_.erase(it);
    } else {
      ++it;
    }
  }
}

void HttpServer::log_request(const Connection& connection, const HttpRequest& request, int status,
                             std::size_t bytes, double milliseconds, const std::string& problem) {
  if (!options_.access_log && problem.empty()) return;
  std::lock_guard lock(log_mutex_);
  if (options_.access_log) {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&now, &tm);
    char when[32];
    std::strftime(when, sizeof when, "%d/%b/%Y:%H:%M:%S +0000", &tm);
    std::string target = request.target.empty() ? "-" : request.target;
    std::fprintf(stdout, "%s - - [%s] \"%s %s HTTP/1.%d\" %d %zu %.1fms\n",
                 connection.peer.remote_address.c_str(), when,
                 request.method.empty() ? "-" : request.method.c_str(), target.c_str(),
                 request.minor_version, status, bytes, milliseconds);
    std::fflush(stdout);
  }
  if (!problem.empty()) {
    std::fprintf(stderr, "vantrel serve: %s %s: %s\n", request.method.c_str(),
                 request.target.c_str(), problem.c_str());
    std::fflush(stderr);
  }
}

}  // namespace vantrel::server
