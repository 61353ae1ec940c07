#pragma once

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
  kPageNotCompiled = 2,  // a syntax error
};

struct PageResult {
  std::string page;         // what the page wrote, byte for byte
  std::string diagnostics;  // for standard error; empty when the page ran through
  int exit_status = kPageWritten;
};

// `hooks`, when given, adds to the page's globals (see host/page_hooks.h).
PageResult run_page(std::string_view source, std::string_view file_name,
                    PageHooks* hooks = nullptr);

}  // namespace vantrel::host
