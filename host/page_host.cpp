#include "host/page_host.h"

#include <duktape.h>

#include <cstdio>
#include <cstdlib>

#include "frame/automation_error.h"
#include "frame/variant.h"
#include "host/library_objects.h"
#include "host/script_values.h"
#include "platform/posix/runtime.h"

namespace vantrel::host {

namespace {

constexpr const char* kPageKey = DUK_HIDDEN_SYMBOL("page");

[[noreturn]] void engine_failed(void*, const char* message) {
  std::fprintf(stderr, "vantrel: the script engine failed: %s\n", message);
  std::abort();
}

std::string* page_of(duk_context* ctx) {
  duk_push_global_stash(ctx);
  duk_get_prop_string(ctx, -1, kPageKey);
  auto* page = static_cast<std::string*>(duk_get_pointer(ctx, -1));
  duk_pop_2(ctx);
  return page;
}

// Server.CreateObject(progId)
duk_ret_t create_object(duk_context* ctx) {
  return run_native(ctx, [&] {
    try {
      const std::string prog_id = to_text(read_variant(ctx, 0));
      posix::Dispatch* object = nullptr;
      std::string reason;
      if (posix::failed(posix::create_object(prog_id, &object, &reason))) {
        push_automation_error(
            ctx, error_number::kCannotCreateObject, "Server.CreateObject",
            "ActiveX component can't create object '" + prog_id + "' (" + reason + ")");
        return Outcome::Raise;
      }
      push_library_object(ctx, object);
      return Outcome::Value;
    } catch (const AutomationError& e) {
      push_automation_error(ctx, e.number(), "Server.CreateObject", e.description());
      return Outcome::Raise;
    }
  });
}

// Response.Write(value)
duk_ret_t write_response(duk_context* ctx) {
  return run_native(ctx, [&] {
    try {
      append_concatenated(*page_of(ctx), read_variant(ctx, 0));
      duk_push_undefined(ctx);
      return Outcome::Value;
    } catch (const AutomationError& e) {
      push_automation_error(ctx, e.number(), "Response.Write", e.description());
      return Outcome::Raise;
    }
  });
}

void install_globals(duk_context* ctx, std::string* page) {
  duk_push_global_stash(ctx);
  duk_push_pointer(ctx, page);
  duk_put_prop_string(ctx, -2, kPageKey);
  duk_pop(ctx);

  duk_push_object(ctx);
  duk_push_c_function(ctx, &create_object, 1);
  duk_put_prop_string(ctx, -2, "CreateObject");
  duk_put_global_string(ctx, "Server");

  duk_push_object(ctx);
  duk_push_c_function(ctx, &write_response, 1);
  duk_put_prop_string(ctx, -2, "Write");
  duk_put_global_string(ctx, "Response");
}

// What an uncaught error says, read under protection: the page may have
// thrown anything, with getters that throw in turn.
struct ErrorReport {
  bool automation = false;
  std::int32_t number = 0;
  std::string source;
  std::string description;
  std::string name;
  std::string message;
  long line = 0;
};

std::string string_property(duk_context* ctx, duk_idx_t index, const char* key) {
  duk_get_prop_string(ctx, index, key);
  std::string text = duk_is_undefined(ctx, -1) ? std::string() : duk_safe_to_string(ctx, -1);
  duk_pop(ctx);
  return text;
}

duk_ret_t read_error(duk_context* ctx, void* udata) {
  auto* report = static_cast<ErrorReport*>(udata);
  if (!duk_is_object(ctx, -1)) {
    report->name = "Error";
    report->message = duk_safe_to_string(ctx, -1);
    return 0;
  }
  report->automation = is_automation_error(ctx, -1);
  if (report->automation) {
    duk_get_prop_string(ctx, -1, "number");
    report->number = static_cast<std::int32_t>(duk_get_int(ctx, -1));
    duk_pop(ctx);
    report->source = string_property(ctx, -1, "source");
    report->description = string_property(ctx, -1, "description");
    return 0;
  }
  report->name = string_property(ctx, -1, "name");
  report->message = string_property(ctx, -1, "message");
  duk_get_prop_string(ctx, -1, "lineNumber");
  report->line = static_cast<long>(duk_get_number(ctx, -1));
  duk_pop(ctx);
  return 0;
}

std::string describe_error(duk_context* ctx, std::string_view file_name) {
  ErrorReport report;
  if (duk_safe_call(ctx, &read_error, &report, 1, 1) != DUK_EXEC_SUCCESS) {
    report = ErrorReport{};
    report.name = "Error";
    report.message = "the page threw a value that cannot be described";
  }
  std::string text;
  if (report.automation) {
    if (!report.source.empty()) text += report.source + ": ";
    text += "error " + std::to_string(report.number) + ": " + report.description;
  } else {
    text += std::string(file_name);
    if (report.line > 0) text += ":" + std::to_string(report.line);
    text += ": " + (report.name.empty() ? std::string("Error") : report.name);
    // The engine ends some messages with " (line N)"; the line is given already.
    const std::string line_note = " (line " + std::to_string(report.line) + ")";
    if (report.message.ends_with(line_note)) {
      report.message.erase(report.message.size() - line_note.size());
    }
    if (!report.message.empty()) text += ": " + report.message;
  }
  return text + "\n";
}

}  // namespace

PageResult run_page(std::string_view source, std::string_view file_name, PageHooks* hooks) {
  PageResult result;
  duk_context* ctx = duk_create_heap(nullptr, nullptr, nullptr, nullptr, &engine_failed);
  if (ctx == nullptr) {
    result.diagnostics = "vantrel: cannot start the script engine\n";
    result.exit_status = kPageFailed;
    return result;
  }
  install_value_helpers(ctx);
  install_object_handler(ctx);
  install_globals(ctx, &result.page);
  if (hooks != nullptr) hooks->install(ctx, &result.page);

  duk_push_lstring(ctx, file_name.data(), file_name.size());
  if (duk_pcompile_lstring_filename(ctx, 0, source.data(), source.size()) != 0) {
    result.diagnostics = describe_error(ctx, file_name);
    result.exit_status = kPageNotCompiled;
  } else if (duk_pcall(ctx, 0) != DUK_EXEC_SUCCESS && (hooks == nullptr || !hooks->ended())) {
    result.diagnostics = describe_error(ctx, file_name);
    result.exit_status = kPageFailed;
  }
  duk_pop(ctx);
  duk_destroy_heap(ctx);  // collects the page's objects, releasing them
  return result;
}

}  // namespace vantrel::host
