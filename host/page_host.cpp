#include "host/page_host.h"

#include <duktape.h>

#include <cmath>
#include <new>

#include "frame/automation_error.h"
#include "frame/variant.h"
#include "host/compiled_scripts.h"
#include "host/library_objects.h"
#include "host/script_engine.h"
#include "host/script_values.h"
#include "host/utf8.h"
#include "platform/posix/runtime.h"

namespace vantrel::host {

namespace {

// What the page's globals write to, kept with the heap (HostData::page).
struct PageState {
  std::string* page;
  ScriptHeap* heap;
  PageHooks* hooks;  // a server page's, or none

  // After Response.End nothing more is written: a page that catches the end
  // and goes on writes into nothing.
  bool ended() const { return hooks != nullptr && hooks->ended(); }
};

PageState& state_of(duk_context* ctx) { return *static_cast<PageState*>(host_data(ctx)->page); }

// Members take exactly their arguments; so do the globals' functions.
void check_at_most_one_argument(duk_context* ctx) {
  if (duk_get_top(ctx) > 1) raise_wrong_argument_count();
}

}  // namespace

PageHooks* hooks_of(duk_context* ctx) { return state_of(ctx).hooks; }

bool append_to_page(duk_context* ctx, std::string_view text) {
  PageState& state = state_of(ctx);
  if (state.ended()) return true;
  if (!state.heap->admit_outside(state.page->size(), text.size())) return false;
  state.page->append(text);
  return true;
}

namespace {

// Server.CreateObject(progId)
duk_ret_t create_object(duk_context* ctx) {
  return run_native(ctx, "Server.CreateObject", [&] {
    check_at_most_one_argument(ctx);
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
  });
}

// Response.Write(value)
duk_ret_t write_response(duk_context* ctx) {
  return run_native(ctx, "Response.Write", [&] {
    check_at_most_one_argument(ctx);
    PageState& state = state_of(ctx);
    std::string& page = *state.page;
    if (state.ended()) {
      // Written after the end: nothing.
    } else if (duk_is_string(ctx, 0) && !duk_is_symbol(ctx, 0)) {
      // Text goes straight into the page, converted on the way.
      duk_size_t size = 0;
      const char* text = duk_get_lstring(ctx, 0, &size);
      if (!state.heap->admit_outside(page.size(), size)) throw std::bad_alloc();
      append_utf8_from_engine(page, std::string_view(text, size));
    } else {
      std::string text;
      append_concatenated(text, read_variant(ctx, 0));
      if (!append_to_page(ctx, text)) throw std::bad_alloc();
    }
    duk_push_undefined(ctx);
    return Outcome::Value;
  });
}

void install_globals(duk_context* ctx) {
  // The engine's own `Duktape` object (finalizers, error hooks, internals) is
  // not for pages.
  duk_push_global_object(ctx);
  duk_del_prop_literal(ctx, -1, "Duktape");
  duk_pop(ctx);

  duk_push_object(ctx);
  duk_push_c_function(ctx, &create_object, DUK_VARARGS);
  duk_put_prop_literal(ctx, -2, "CreateObject");
  duk_put_global_string(ctx, "Server");

  duk_push_object(ctx);
  duk_push_c_function(ctx, &write_response, DUK_VARARGS);
  duk_put_prop_literal(ctx, -2, "Write");
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
  std::string text;
  if (!duk_is_undefined(ctx, -1)) {
    duk_safe_to_string(ctx, -1);
    text = read_utf8(ctx, -1);
  }
  duk_pop(ctx);
  return text;
}

duk_ret_t read_error(duk_context* ctx, void* udata) {
  auto* report = static_cast<ErrorReport*>(udata);
  if (!duk_is_object(ctx, -1)) {
    report->name = "Error";
    duk_safe_to_string(ctx, -1);
    report->message = read_utf8(ctx, -1);
    return 0;
  }
  report->automation = is_automation_error(ctx, -1);
  if (report->automation) {
    duk_get_prop_literal(ctx, -1, "number");
    report->number = static_cast<std::int32_t>(duk_get_int(ctx, -1));
    duk_pop(ctx);
    report->source = string_property(ctx, -1, "source");
    report->description = string_property(ctx, -1, "description");
    return 0;
  }
  report->name = string_property(ctx, -1, "name");
  report->message = string_property(ctx, -1, "message");
  duk_get_prop_literal(ctx, -1, "lineNumber");
  const double line = duk_get_number_default(ctx, -1, 0);
  duk_pop(ctx);
  if (line >= 1 && line <= 1e9 && line == std::trunc(line)) report->line = static_cast<long>(line);
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

// "2 s", "0.25 s"
std::string describe_seconds(std::chrono::milliseconds timeout) {
  std::string text = std::to_string(timeout.count() / 1000);
  if (const auto rest = timeout.count() % 1000; rest != 0) {
    std::string fraction = std::to_string(1000 + rest).substr(1);
    while (fraction.back() == '0') fraction.pop_back();
    text += "." + fraction;
  }
  return text + " s";
}

// "64 MiB", "1000 bytes"
std::string describe_bytes(std::size_t bytes) {
  constexpr std::pair<std::size_t, const char*> kUnits[] = {{std::size_t{1} << 30, " GiB"},
                                                            {std::size_t{1} << 20, " MiB"},
                                                            {std::size_t{1} << 10, " KiB"}};
  for (const auto& [unit, name] : kUnits) {
    if (bytes >= unit && bytes % unit == 0) return std::to_string(bytes / unit) + name;
  }
  return std::to_string(bytes) + " bytes";
}

// What a page stopped by a limit gets on standard error, in place of the
// error that unwound it.
void report_limit(PageResult& result, const ScriptHeap& heap, std::string_view file_name,
                  const PageLimits& limits) {
  const std::string page(file_name);
  if (heap.timed_out()) {
    result.diagnostics = page + ": the page ran longer than its time limit of " +
                         describe_seconds(limits.timeout) + " and was stopped\n";
    result.exit_status = kPageTimedOut;
  } else if (heap.refused_by_cap()) {
    result.diagnostics = page + ": the page needed more than its memory limit of " +
                         describe_bytes(limits.memory_bytes) + " and was stopped\n";
    result.exit_status = kPageOutOfMemory;
  } else {
    result.diagnostics = page + ": out of memory; the page was stopped\n";
    result.exit_status = kPageOutOfMemory;
  }
}

// The steps of running a page, inside one protected call: the engine's
// errors, out of memory included, end here rather than in its fatal handler.
struct PageRun {
  std::string_view source;  // UTF-8
  std::string_view file_name;
  PageState* state;
  bool compiled = false;
};

// The page as a function: loaded from the cache when this very text has been
// compiled before, else compiled (a syntax error raises) and kept.
void push_page_function(duk_context* ctx, const PageRun& run) {
  CompiledScripts& cache = CompiledScripts::shared();
  if (const auto compiled = cache.find(run.file_name, run.source)) {
    duk_push_external_buffer(ctx);
    duk_config_buffer(ctx, -1, const_cast<char*>(compiled->data()), compiled->size());
    duk_load_function(ctx);
    return;
  }
  std::string engine_source;
  append_engine_from_utf8(engine_source, run.source);
  duk_push_lstring(ctx, run.file_name.data(), run.file_name.size());
  duk_compile_lstring_filename(ctx, 0, engine_source.data(), engine_source.size());
  duk_dup_top(ctx);
  duk_dump_function(ctx);
  duk_size_t size = 0;
  const auto* bytes = static_cast<const char*>(duk_get_buffer(ctx, -1, &size));
  cache.keep(run.file_name, run.source, std::string(bytes, size));
  duk_pop(ctx);
}

duk_ret_t run_protected(duk_context* ctx, void* udata) {
  auto& run = *static_cast<PageRun*>(udata);
  install_value_helpers(ctx);
  install_object_handler(ctx);
  install_globals(ctx);
  if (run.state->hooks != nullptr) run.state->hooks->install(ctx, run.state->page);
  push_page_function(ctx, run);
  run.compiled = true;
  duk_call(ctx, 0);
  return 0;
}

}  // namespace

PageResult run_page(std::string_view source, std::string_view file_name, const PageLimits& limits,
                    PageHooks* hooks) {
  PageResult result;
  if (source.size() > kMaxPageSourceBytes) {
    result.diagnostics = std::string(file_name) + ": the page script is larger than " +
                         describe_bytes(kMaxPageSourceBytes) + "\n";
    result.exit_status = kPageNotCompiled;
    return result;
  }
  try {
    ScriptHeap heap(limits.timeout, limits.memory_bytes);
    duk_context* ctx = heap.context();
    if (ctx == nullptr) {
      report_limit(result, heap, file_name, limits);
      return result;
    }
    PageState state{&result.page, &heap, hooks};
    heap.host().page = &state;
    PageRun run{source, file_name, &state};
    if (duk_safe_call(ctx, &run_protected, &run, 0, 1) != DUK_EXEC_SUCCESS) {
      if (heap.timed_out() || heap.refused_memory()) {
        report_limit(result, heap, file_name, limits);
      } else if (state.ended()) {
        // The page stopped itself (Response.End).
      } else {
        result.diagnostics = describe_error(ctx, file_name);
        result.exit_status = run.compiled ? kPageFailed : kPageNotCompiled;
      }
    } else if (heap.timed_out()) {
      report_limit(result, heap, file_name, limits);
    }
    duk_pop(ctx);
    // The heap goes here, collecting the page's objects and releasing them.
  } catch (const std::bad_alloc&) {
    result.diagnostics = std::string(file_name) + ": out of memory; the page was stopped\n";
    result.exit_status = kPageOutOfMemory;
  }
  return result;
}

}  // namespace vantrel::host
