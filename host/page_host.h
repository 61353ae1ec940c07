#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "host/page_hooks.h"

// Runs a page script with the globals a page expects:
//   Server.CreateObject(progId)  creates a library object (identifiers in any case);
//   Response.Write(value)        appends the value, converted to text by the
//                                automation rules, to the page (null adds nothing).
// The library must be registered with the runtime first.
namespace vantrel::host {

enum ExitStatus : int {
  kPageWritten = 0,
  kPageFailed = 1,       // an error the page did not catch
  kPageNotCompiled = 2,  // a syntax error, or a page script too large to run
  // 3 is the command's "component library not loaded"
  kPageTimedOut = 4,     // the page ran past its time limit and was stopped
  kPageOutOfMemory = 5,  // the page needed more memory than its cap (or the system) allows
};

// What one page may use. The defaults suit a page that builds a few large
// components; zero lifts a limit.
struct PageLimits {
  std::chrono::milliseconds timeout{std::chrono::seconds(30)};
  // The script heap plus the page text held in memory.
  std::size_t memory_bytes = std::size_t{256} << 20;
};

// Larger page scripts are refused before they are compiled.
constexpr std::size_t kMaxPageSourceBytes = std::size_t{16} << 20;

struct PageResult {
  std::string page;         // what the page wrote, byte for byte: scripts' text as UTF-8,
                            // a server page's literal HTML as its file has it
  std::string diagnostics;  // for standard error; empty when the page ran through
  int exit_status = kPageWritten;
};

// What the page wrote before it failed or was stopped stays in the result.
// `hooks`, when given, adds to the page's globals (see host/page_hooks.h).
PageResult run_page(std::string_view source, std::string_view file_name,
                    const PageLimits& limits = {}, PageHooks* hooks = nullptr);

}  // namespace vantrel::host
