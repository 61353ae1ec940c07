#pragma once

#include <map>
#include <string>
#include <vector>

// A `vantrel serve` process on an ephemeral loopback port over a site of
// files written for the test, and a plain HTTP client for it.
namespace vantrel::testing {

struct Reply {
  int status = 0;
  std::string head;                                   // status line and headers
  std::string body;                                   // de-chunked
  std::string header(const std::string& name) const;  // first value, name in any case
};

class ServedSite {
 public:
  // `files`: path in the site -> content. `options` go before the site.
  ServedSite(const std::map<std::string, std::string>& files,
             const std::vector<std::string>& options = {});
  // Serves a folder that exists already (left in place).
  explicit ServedSite(const std::string& existing_dir);
  ~ServedSite();
  ServedSite(const ServedSite&) = delete;
  ServedSite& operator=(const ServedSite&) = delete;

  // Sends `raw` on a new connection and reads until the server closes it.
  std::string exchange(const std::string& raw) const;
  // A request with Host and Connection: close added after the request line.
  Reply request(const std::string& method, const std::string& target,
                const std::string& headers = "", const std::string& body = "") const;
  Reply get(const std::string& target) const { return request("GET", target); }

  // Stops the server with SIGTERM; its exit status.
  int stop();
  int connect_client() const;
  // The child process that answers requests (the server supervises it).
  int serving_pid() const;
  void start(const std::vector<std::string>& options);

  int port = 0;
  bool owns_dir = true;
  int pid = -1;
  std::string dir;          // the site
  std::string errors_file;  // the server's standard error
};

Reply parse_reply(const std::string& raw);

}  // namespace vantrel::testing
