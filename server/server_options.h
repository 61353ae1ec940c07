#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>

namespace vantrel::server {

struct ServerOptions {
  std::filesystem::path site;  // canonical
  std::string bind = "127.0.0.1";
  int port = 8080;
  int threads = 0;  // 0: one per core
  std::chrono::seconds timeout{30};
  std::size_t memory_limit = 64 * 1024 * 1024;
  std::size_t max_body = 4 * 1024 * 1024;
  std::chrono::seconds grace{10};
  std::chrono::seconds keep_alive{5};
  bool compat_script = false;  // put the compatibility script's tag at the top of every page
  bool access_log = true;
};

}  // namespace vantrel::server
