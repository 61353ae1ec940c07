#pragma once

#include <duktape.h>

#include <string>
#include <string_view>

namespace vantrel::testing {

// A JavaScript engine for running emitted client scripts against stand-in
// browser objects. eval() returns the result as a string (objects as JSON) and
// fails the test, returning "<error: ...>", when the script throws.
class ScriptEngine {
 public:
  ScriptEngine();
  ~ScriptEngine();
  ScriptEngine(const ScriptEngine&) = delete;
  ScriptEngine& operator=(const ScriptEngine&) = delete;

  std::string eval(std::string_view code);
  // Runs the contents of <script> blocks in markup, as a browser would.
  void run_scripts_in(std::string_view markup);

 private:
  duk_context* ctx_;
};

}  // namespace vantrel::testing
