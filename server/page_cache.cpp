#include "server/page_cache.h"

#include <ctime>

namespace vantrel::server {

namespace {

constexpr std::size_t kMaxEntries = 4096;

}  // namespace

bool PageCache::stamp(const std::filesystem::path& file, Stamp& out) {
  struct stat info {};
  if (stat(file.c_str(), &info) != 0) return false;
  out = {info.st_dev, info.st_ino, info.st_size, info.st_mtim};
  return true;
}

bool PageCache::unchanged(const Entry& entry) {
  for (std::size_t i = 0; i < entry.stamps.size(); ++i) {
    Stamp now;
    const Stamp& then = entry.stamps[i];
    if (!stamp(entry.program->sources[i], now) || now.device != then.device ||
        now.inode != then.inode || now.size != then.size ||
        now.modified.tv_sec != then.modified.tv_sec ||
        now.modified.tv_nsec != then.modified.tv_nsec) {
      return false;
    }
  }
  return true;
}

std::shared_ptr<const host::PageProgram> PageCache::get(const std::filesystem::path& file,
                                                        const std::filesystem::path& site_root,
                                                        const std::string& name,
                                                        std::string& error) {
  const std::string key = file.native() + '\n' + name;
  Entry cached;
  {
    std::lock_guard lock(mutex_);
    const auto found = entries_.find(key);
    if (found != entries_.end()) cached = found->second;
  }
  if (cached.program != nullptr && unchanged(cached)) return cached.program;

  const std::time_t loading = std::time(nullptr);
  auto program = std::make_shared<host::PageProgram>();
  if (!host::load_page(file, site_root, name, *program, error)) return nullptr;
  Entry entry;
  entry.program = program;
  for (const std::filesystem::path& source : program->sources) {
    Stamp s;
    // A file changed just now may have changed while it was read: such a
    // program is used once and not kept.
    if (!stamp(source, s) || s.modified.tv_sec + 1 >= loading) return program;
    entry.stamps.push_back(s);
  }
  std::lock_guard lock(mutex_);
  if (entries_.size() >= kMaxEntries) entries_.clear();
  entries_[key] = std::move(entry);
  return program;
}

}  // namespace vantrel::server
