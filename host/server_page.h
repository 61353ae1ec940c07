#pragma once

#include <duktape.h>

#include <cstddef>
#include <string>

#include "host/page_hooks.h"
#include "host/page_host.h"
#include "host/page_source.h"

// Runs a server page (host/page_source.h). Besides the standard globals the
// page has Response.WriteBlock(n), which writes literal block n, and
// Response.End(), which stops the page and keeps what it wrote until then.
// A server derives from ServerPageHooks to add its own objects.
namespace vantrel::host {

class ServerPageHooks : public PageHooks {
 public:
  explicit ServerPageHooks(const PageProgram& program) : program_(program) {}

  void install(duk_context* ctx, std::string* page) override;
  bool ended() const override { return ended_; }

  const PageProgram& program() const { return program_; }
  // The page's output buffer while it runs.
  std::string* page() const { return page_; }

  // Stops the page: call from a native function, then raise the error it
  // pushes.
  void push_end(duk_context* ctx);

  // The hooks of the page running on `ctx`.
  static ServerPageHooks* of(duk_context* ctx);

 private:
  const PageProgram& program_;
  std::string* page_ = nullptr;
  bool ended_ = false;
};

// Runs the program; diagnostics name the page or include file and its line.
PageResult run_server_page(ServerPageHooks& hooks, const PageLimits& limits = {});

}  // namespace vantrel::host
