#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

// Compiled page scripts, kept so that a page run loads the compiled program
// into its fresh heap (a few microseconds) instead of compiling the text
// again. An entry is found by the script's file name and used only while
// the text is byte for byte the one it was compiled from; a changed text
// replaces it. The compiled form holds no state of any run: every run makes
// its own objects from it.
namespace vantrel::host {

class CompiledScripts {
 public:
  // Keeps at most `max_bytes` of texts and compiled forms together.
  explicit CompiledScripts(std::size_t max_bytes) : max_bytes_(max_bytes) {}

  // The process's cache, shared by every thread.
  static CompiledScripts& shared();

  // The compiled form of exactly `text` named `file_name`; null when none is kept.
  std::shared_ptr<const std::string> find(std::string_view file_name, std::string_view text);

  // Keeps `compiled` for `text` named `file_name`, dropping the entries used
  // longest ago when the cache would grow past its size.
  void keep(std::string_view file_name, std::string_view text, std::string compiled);

  std::size_t size_bytes() const;

 private:
  struct Entry {
    std::string text;
    std::shared_ptr<const std::string> compiled;
    std::uint64_t last_use = 0;
    std::size_t bytes() const;
  };
  // File names are looked up as they come, without making a string of them.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept {
      return std::hash<std::string_view>{}(name);
    }
  };
  using Entries = std::unordered_map<std::string, Entry, NameHash, std::equal_to<>>;
  void drop(Entries::iterator entry);

  const std::size_t max_bytes_;
  mutable std::mutex mutex_;
  Entries entries_;  // by file name
  std::size_t bytes_ = 0;
  std::uint64_t uses_ = 0;
};

}  // namespace vantrel::host
