#include "host/server_page.h"

#include <cctype>
#include <new>

#include "host/library_objects.h"

namespace vantrel::host {

namespace {

// Response.WriteBlock(n)
duk_ret_t write_block(duk_context* ctx) {
  ServerPageHooks* hooks = ServerPageHooks::of(ctx);
  const auto& blocks = hooks->program().blocks;
  const double n = duk_get_number_default(ctx, 0, -1);
  return run_native(ctx, [&] {
    if (!(n >= 0 && n < static_cast<double>(blocks.size()))) {
      push_automation_error(ctx, error_number::kInvalidArgument, "Response.WriteBlock",
                            "Invalid procedure call or argument");
      return Outcome::Raise;
    }
    if (!append_to_page(ctx, blocks[static_cast<std::size_t>(n)])) {
      throw std::bad_alloc();
    }
    duk_push_undefined(ctx);
    return Outcome::Value;
  });
}

// Response.End()
duk_ret_t end_page(duk_context* ctx) {
  ServerPageHooks::of(ctx)->push_end(ctx);
  return duk_throw(ctx);
}

// Rewrites a leading "SCRIPT:LINE:" into the page or include file and line.
std::string relocate(const std::string& text, const PageProgram& program) {
  const std::string& name = program.files.empty() ? std::string() : program.files[0];
  if (text.compare(0, name.size() + 1, name + ":") != 0) return text;
  std::size_t end = name.size() + 1;
  long line = 0;
  while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])) != 0) {
    line = line * 10 + (text[end++] - '0');
    if (line > 1'000'000'000) return text;
  }
  if (end == name.size() + 1) return text;
  return program.where(line) + text.substr(end);
}

}  // namespace

ServerPageHooks* ServerPageHooks::of(duk_context* ctx) {
  return static_cast<ServerPageHooks*>(hooks_of(ctx));
}

void ServerPageHooks::install(duk_context* ctx, std::string* page) {
  page_ = page;
  duk_get_global_string(ctx, "Response");
  duk_push_c_function(ctx, &write_block, 1);
  duk_put_prop_string(ctx, -2, "WriteBlock");
  duk_push_c_function(ctx, &end_page, 0);
  duk_put_prop_string(ctx, -2, "End");
  duk_pop(ctx);
}

void ServerPageHooks::push_end(duk_context* ctx) {
  ended_ = true;  // from now on nothing more is written
  duk_push_error_object(ctx, DUK_ERR_ERROR, "Response.End");
}

PageResult run_server_page(ServerPageHooks& hooks, const PageLimits& limits) {
  const PageProgram& program = hooks.program();
  PageResult result =
      run_page(program.script, program.files.empty() ? "" : program.files[0], limits, &hooks);
  result.diagnostics = relocate(result.diagnostics, program);
  return result;
}

}  // namespace vantrel::host
