#include "tests/support/script_engine.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>

namespace vantrel::testing {

namespace {

[[noreturn]] void engine_failed(void*, const char* message) {
  ADD_FAILURE() << "script engine fatal error: " << message;
  std::abort();
}

duk_ret_t eval_top(duk_context* ctx, void*) {
  duk_eval(ctx);
  if (duk_is_object(ctx, -1) && !duk_is_function(ctx, -1)) {
    duk_json_encode(ctx, -1);
  } else {
    duk_to_string(ctx, -1);
  }
  return 1;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

ScriptEngine::ScriptEngine()
    : ctx_(duk_create_heap(nullptr, nullptr, nullptr, nullptr, &engine_failed)) {}

ScriptEngine::~ScriptEngine() { duk_destroy_heap(ctx_); }

std::string ScriptEngine::eval(std::string_view code) {
  duk_push_lstring(ctx_, code.data(), code.size());
  const bool ok = duk_safe_call(ctx_, &eval_top, nullptr, 1, 1) == DUK_EXEC_SUCCESS;
  std::string result = duk_safe_to_string(ctx_, -1);
  duk_pop(ctx_);
  if (!ok) {
    ADD_FAILURE() << "script failed: " << result << "\nin: " << code.substr(0, 400);
    return "<error: " + result + ">";
  }
  return result;
}

void ScriptEngine::run_scripts_in(std::string_view markup) {
  const std::string lowered = lower(markup);
  std::size_t pos = 0;
  while ((pos = lowered.find("<script", pos)) != std::string::npos) {
    const std::size_t body = lowered.find('>', pos);
    const std::size_t end = lowered.find("</script>", body);
    if (body == std::string::npos || end == std::string::npos) {
      ADD_FAILURE() << "unterminated script block";
      return;
    }
    eval(markup.substr(body + 1, end - body - 1));
    pos = end + 9;
  }
}

}  // namespace vantrel::testing
