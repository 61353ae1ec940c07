#include "host/compiled_scripts.h"

#include <algorithm>

namespace vantrel::host {

namespace {

// Room for a few hundred large pages.
constexpr std::size_t kSharedBytes = std::size_t{64} << 20;

}  // namespace

CompiledScripts& CompiledScripts::shared() {
  static CompiledScripts cache(kSharedBytes);
  return cache;
}

std::size_t CompiledScripts::Entry::bytes() const { return text.size() + compiled->size(); }

std::shared_ptr<const std::string> CompiledScripts::find(std::string_view file_name,
                                                         std::string_view text) {
  const std::lock_guard lock(mutex_);
  const auto entry = entries_.find(file_name);
  if (entry == entries_.end() || entry->second.text != text) return nullptr;
  entry->second.last_use = ++uses_;
  return entry->second.compiled;
}

void CompiledScripts::keep(std::string_view file_name, std::string_view text,
                           std::string compiled) {
  Entry fresh{std::string(text), std::make_shared<const std::string>(std::move(compiled))};
  const std::size_t size = fresh.bytes() + file_name.size();
  const std::lock_guard lock(mutex_);
  if (const auto old = entries_.find(file_name); old != entries_.end()) drop(old);
  if (size > max_bytes_) return;
  while (bytes_ + size > max_bytes_) {
    drop(std::min_element(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
      return a.second.last_use < b.second.last_use;
    }));
  }
  fresh.last_use = ++uses_;
  bytes_ += size;
  entries_.emplace(std::string(file_name), std::move(fresh));
}

std::size_t CompiledScripts::size_bytes() const {
  const std::lock_guard lock(mutex_);
  return bytes_;
}

void CompiledScripts::drop(Entries::iterator entry) {
  bytes_ -= entry->second.bytes() + entry->first.size();
  entries_.erase(entry);
}

}  // namespace vantrel::host
