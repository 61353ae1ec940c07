#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/page_source.h"

// Pages turned into programs, kept while neither the page nor any of its
// includes changes (each use checks them all).
namespace vantrel::server {

class PageCache {
 public:
  // The program of the page `file` named `name`; null with `error` when it
  // cannot be loaded (errors are not kept).
  std::shared_ptr<const host::PageProgram> get(const std::filesystem::path& file,
                                               const std::filesystem::path& site_root,
                                               const std::string& name, std::string& error);

 private:
  struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
  };
  struct Entry {
    std::shared_ptr<const host::PageProgram> program;
    std::vector<Stamp> stamps;  // of program->sources, in order
  };
  static bool stamp(const std::filesystem::path& file, Stamp& out);
  static bool unchanged(const Entry& entry);

  std::mutex mutex_;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace vantrel::server
