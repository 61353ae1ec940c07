#include "tests/server/served_site.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace vantrel::testing {

namespace fs = std::filesystem;

std::string Reply::header(const std::string& name) const {
  std::size_t at = 0;
  while ((at = head.find("\r\n", at)) != std::string::npos) {
    at += 2;
    const std::size_t colon = head.find(':', at);
    if (colon == std::string::npos) break;
    if (strncasecmp(head.c_str() + at, name.c_str(), name.size()) == 0 &&
        colon - at == name.size()) {
      const std::size_t end = head.find("\r\n", colon);
      return head.substr(colon + 2, end - colon - 2);
    }
  }
  return "";
}

Reply parse_reply(const std::string& raw) {
  Reply reply;
  const std::size_t end = raw.find("\r\n\r\n");
  reply.head = raw.substr(0, end);
  if (raw.size() > 12) reply.status = std::atoi(raw.c_str() + 9);
  if (end == std::string::npos) return reply;
  const std::string rest = raw.substr(end + 4);
  if (reply.header("Transfer-Encoding") != "chunked") {
    reply.body = rest;
    return reply;
  }
  std::size_t at = 0;
  for (;;) {
    const std::size_t eol = rest.find("\r\n", at);
    if (eol == std::string::npos) break;
    const std::size_t size = std::stoul(rest.substr(at, eol - at), nullptr, 16);
    if (size == 0) break;
    reply.body += rest.substr(eol + 2, size);
    at = eol + 2 + size + 2;
  }
  return reply;
}

ServedSite::ServedSite(const std::map<std::string, std::string>& files,
                       const std::vector<std::string>& options) {
  static int sites = 0;
  dir = ::testing::TempDir() + "/site_" + std::to_string(getpid()) + "_" + std::to_string(++sites);
  fs::remove_all(dir);
  for (const auto& [path, content] : files) {
    const fs::path file = fs::path(dir) / path;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
  }
  fs::create_directories(dir);
  start(options);
}

ServedSite::ServedSite(const std::string& existing_dir) : dir(existing_dir) {
  owns_dir = false;
  start({});
}

void ServedSite::start(const std::vector<std::string>& options) {
  static int servers = 0;
  errors_file = ::testing::TempDir() + "/serve_" + std::to_string(getpid()) + "_" +
                std::to_string(++servers) + ".err";
  int out[2];
  if (pipe(out) != 0) return;
  pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    close(out[0]);
    std::freopen(errors_file.c_str(), "w", stderr);
    std::vector<std::string> args = {VANTREL_COMMAND_PATH, "serve", "--port", "0", "--quiet"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(dir);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  // The first line names the port: "... at http://127.0.0.1:PORT/".
  std::string line;
  char c = 0;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  const std::size_t colon = line.rfind(':');
  if (colon != std::string::npos) port = std::atoi(line.c_str() + colon + 1);
  EXPECT_GT(port, 0) << "the server did not start: " << line;
}

ServedSite::~ServedSite() {
  stop();
  if (owns_dir) fs::remove_all(dir);
  fs::remove(errors_file);
}

int ServedSite::stop() {
  if (pid <= 0) return -1;
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  pid = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int ServedSite::serving_pid() const {
  // The server starts it just after it says where it listens.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) +
                           "/children");
    int child = -1;
    if (children >> child) return child;
    usleep(20000);
  }
  return -1;
}

int ServedSite::connect_client() const {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  timeval tv{20, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  return fd;
}

std::string ServedSite::exchange(const std::string& raw) const {
  const int fd = connect_client();
  if (fd < 0) return "";
  std::size_t sent = 0;
  while (sent < raw.size()) {
    const ssize_t n = send(fd, raw.data() + sent, raw.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  std::string reply;
  char buffer[16384];
  ssize_t n = 0;
  while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0)
    reply.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  return reply;
}

Reply ServedSite::request(const std::string& method, const std::string& target,
                          const std::string& headers, const std::string& body) const {
  std::string raw =
      method + " " + target + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n" + headers;
  if (!body.empty()) raw += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return parse_reply(exchange(raw + "\r\n" + body));
}

}  // namespace vantrel::testing
