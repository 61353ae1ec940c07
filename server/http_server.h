#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "server/request_handler.h"
#include "server/server_options.h"

// The HTTP/1.1 server: one thread waits for connections and for idle
// keep-alive connections to send their next request; a pool of threads
// reads each request, answers it and hands the connection back. Stopping
// closes the listening socket and idle connections at once and lets the
// requests in progress finish within the grace period.
namespace vantrel::server {

struct Connection;

class HttpServer {
 public:
  explicit HttpServer(ServerOptions options);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds and listens; false with `error` when that fails.
  bool listen(std::string& error);
  int port() const { return port_; }

  // Serves until stop(). False when requests were still running at the end
  // of the grace period (their threads are left behind).
  bool run();
  // Callable from any thread.
  void stop();
  // Stops this process listening (when another serves).
  void close_listener();

 private:
  bool watch();
  void accept_all();
  void worker();
  void serve(std::unique_ptr<Connection> connection);
  void make_idle(std::unique_ptr<Connection> connection);
  void close_idle(bool all);
  void log_request(const Connection& connection, const struct HttpRequest& request, int status,
                   std::size_t bytes, double milliseconds, const std::string& problem);

  ServerOptions options_;
  RequestHandler handler_;
  int listen_fd_ = -1;
  int epoll_fd_ = -1;
  int wake_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};

  std::mutex mutex_;  // guards idle_, queue_, queue_closed_, workers_running_
  std::condition_variable queue_ready_;
  std::condition_variable worker_done_;
  std::map<int, std::unique_ptr<Connection>> idle_;
  std::deque<std::unique_ptr<Connection>> queue_;
  bool queue_closed_ = false;
  int workers_running_ = 0;
  std::vector<std::thread> workers_;

  std::mutex log_mutex_;
};

}  // namespace vantrel::server
