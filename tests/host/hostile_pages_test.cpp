// Pages written to break the host: each must end with its exit status and a
// clear message, what it wrote before kept, and the host unharmed.
#include <gtest/gtest.h>

#include "host/page_host.h"
#include "platform/posix/runtime.h"

namespace vantrel::host {
namespace {

using namespace std::chrono_literals;

class HostilePages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string error;
    ASSERT_EQ(posix::register_server(VANTREL_LIBRARY_PATH, &error), posix::result::kOk) << error;
  }
};

constexpr PageLimits kTight{300ms, std::size_t{32} << 20};
// Memory cases must not depend on the speed of a loaded machine.
constexpr PageLimits kMemoryOnly{0ms, kTight.memory_bytes};

TEST_F(HostilePages, EndWithTheirStatusAndMessage) {
  struct Case {
    const char* name;
    std::string_view source;
    std::string page;
    int status;
    std::string diagnostics;
    PageLimits limits = kTight;
  };
  const Case cases[] = {
      {"the engine's own object is out of reach", "Response.Write(typeof Duktape);", "undefined",
       kPageWritten, ""},
      {"finalizers cannot be replaced", "\nDuktape.fin(Server.CreateObject('Vantrel.Tabs'), 1);",
       "", kPageFailed, "page.js:2: ReferenceError: identifier 'Duktape' undefined\n"},
      {"conversions ignore replaced globals and methods", R"js(
        var tabs = Server.CreateObject("Vantrel.Tabs");
        isNaN = function () { tabs = null; throw 1; };
        Date.prototype.getTime = function () { throw 2; };
        var d = new Date(2003, 1, 14);
        d.getHours = function () { return 2147483647; };
        d.getFullYear = function () { return 1e300; };
        Response.Write(d);)js",
       "2/14/2003", kPageWritten, ""},
      {"an uncaught function", "throw function () {};", "", kPageFailed, "page.js: Error\n"},
      {"host errors name the page line", R"js(Response.Write('kept');
        try { Server.CreateObject('Vantrel.Tabs').Nope = 1; }
        catch (e) { Response.Write('|' + e.fileName + ':' + e.lineNumber); })js",
       "kept|page.js:2", kPageWritten, ""},
      {"messages keep text after a NUL", "\n\nthrow new Error('a\\u0000b');", "", kPageFailed,
       std::string("page.js:3: Error: a\0b\n", 22)},
      {"lone surrogates become U+FFFD", R"js(Response.Write("a\ud800b\udc00");)js",
       "a\xEF\xBF\xBD"
       "b\xEF\xBF\xBD",
       kPageWritten, ""},
      {"astral text round-trips through a component", R"js(
        var tabs = Server.CreateObject("Vantrel.Tabs");
        tabs.TabName = "a\ud83d\ude00"; var s = tabs.TabName;
        Response.Write([s.length, s.charCodeAt(1), s === "a\ud83d\ude00", "😀".length].join());)js",
       "3,55357,true,2", kPageWritten, ""},
      {"a method keeps its object, and is made once", R"js(
        var bar = Server.CreateObject("Vantrel.ProgressBar"), get = bar.GetValue;
        Response.Write([bar.getvalue === bar.GetValue, get === bar.GetValue, typeof get].join());
        bar = null; Response.Write("," + get());)js",
       "false,true,function,0", kPageWritten, ""},
      {"Response.Write takes one argument", "Response.Write(1, 2, 3);", "", kPageFailed,
       "Response.Write: error 450: Wrong number of arguments or invalid property assignment\n"},
      {"Server.CreateObject takes one argument", "Server.CreateObject('Vantrel.Tabs', 1);", "",
       kPageFailed,
       "Server.CreateObject: error 450: Wrong number of arguments or invalid property "
       "assignment\n"},
      {"an endless loop", "Response.Write('kept'); for (;;) {}", "kept", kPageTimedOut,
       "page.js: the page ran longer than its time limit of 0.3 s and was stopped\n"},
      {"an endless loop that catches", "for (;;) { try { for (;;) {} } catch (e) {} }", "",
       kPageTimedOut,
       "page.js: the page ran longer than its time limit of 0.3 s and was stopped\n"},
      {"a catastrophic regular expression", "/^(a+)+$/.test(new Array(40).join('a') + 'b');", "",
       kPageTimedOut,
       "page.js: the page ran longer than its time limit of 0.3 s and was stopped\n"},
      {"a growing heap", "Response.Write('kept'); var a = []; for (;;) a.push([a.length]);", "kept",
       kPageOutOfMemory,
       "page.js: the page needed more than its memory limit of 32 MiB and was stopped\n",
       kMemoryOnly},
      {"a doubling string", "var s = 'x'; for (;;) s += s;", "", kPageOutOfMemory,
       "page.js: the page needed more than its memory limit of 32 MiB and was stopped\n",
       kMemoryOnly},
      // Garbage in cycles is not freed by reference counting: it is collected
      // before the limit is reached, and the page runs through.
      {"cycles of garbage, far more than the limit",
       "for (var i = 0; i < 400000; i++) { var a = {n: i}, b = {a: a}; a.b = b; }"
       "Response.Write('done');",
       "done", kPageWritten, "", PageLimits{0ms, std::size_t{8} << 20}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PageResult result = run_page(c.source, "page.js", c.limits);
    EXPECT_EQ(result.page, c.page);
    EXPECT_EQ(result.exit_status, c.status);
    EXPECT_EQ(result.diagnostics, c.diagnostics);
  }
}

TEST_F(HostilePages, LimitsReachedOutsideTheHeap) {
  // The page text counts against the memory limit too.
  const PageResult writer = run_page(
      "var s = 'x'; for (var i = 0; i < 20; i++) s += s;"
      "for (;;) Response.Write(s);",
      "page.js", kTight);
  EXPECT_EQ(writer.exit_status, kPageOutOfMemory);
  EXPECT_GT(writer.page.size(), 0u);
  EXPECT_LE(writer.page.size(), kTight.memory_bytes);

  const PageResult tiny = run_page("Response.Write(1);", "page.js", {1s, 1024});
  EXPECT_EQ(tiny.exit_status, kPageOutOfMemory);

  const PageResult huge(run_page(std::string(kMaxPageSourceBytes + 1, ' '), "page.js"));
  EXPECT_EQ(huge.exit_status, kPageNotCompiled);
  EXPECT_EQ(huge.diagnostics, "page.js: the page script is larger than 16 MiB\n");
}

}  // namespace
}  // namespace vantrel::host
