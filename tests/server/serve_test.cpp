// vantrel serve over real HTTP on a loopback port.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "tests/server/served_site.h"

// GCC names an address-sanitizer build with a macro, clang with a feature.
#if defined(__SANITIZE_ADDRESS__)
#define VANTREL_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTREL_ADDRESS_SANITIZER 1
#endif
#endif

namespace vantrel::testing {
namespace {

using Clock = std::chrono::steady_clock;

// Three MiB of every byte value, in an order that is not periodic in small
// steps: a static file sent in many pieces must arrive whole.
std::string big_file() {
  std::string bytes(3 << 20, '\0');
  std::uint32_t x = 1;
  for (char& c : bytes) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 24);
  }
  return bytes;
}

// Evaluates the request's X-Run header as page script: one page for many cases.
const std::map<std::string, std::string> kSite = {
    {"run.asp", "[<% eval(Request.ServerVariables(\"HTTP_X_RUN\")) %>]"},
    {"islands.asp",
     "<%@ LANGUAGE=\"JScript\" %>A<% for (var i = 0; i < 3; i++) { %>[<%= i %>]"
     "<% } // a comment ends the island %>\r\nB"},
    {"vb.asp", "<%@ Language=VBScript %>x"},
    {"include.asp",
     "<!-- #include file=\"parts/a.inc\" -->|<!-- #INCLUDE virtual=\"/parts/b.inc\" -->"},
    {"parts/a.inc", "A<%= 1 + 1 %>"},
    {"parts/b.inc", "B"},
    {"cycle.asp", "<!-- #include file=\"parts/loop.inc\" -->"},
    {"parts/loop.inc", "<!-- #include virtual=\"cycle.asp\" -->"},
    {"escape.asp", "<!-- #include file=\"parts/out.inc\" -->"},
    {"error.asp", "<p>\n<!-- #include file=\"parts/bad.inc\" -->"},
    {"parts/bad.inc", "ok\n<% missing.call() %>"},
    {"unclosed.asp", "a <% b"},
    {"bytes.asp", "\xEF\xBB\xBF<p>\xC3\xA9\r\n\t\x01</p><%= '' %>x\r\n"},
    {"stream.asp",
     "<% Response.Write('first'); Response.Flush();"
     "var end = new Date().getTime() + 600; while (new Date().getTime() < end) {}"
     " %>second"},
    {"fresh.asp",
     "<% if (typeof seen != 'undefined') Response.Write('LEAK'); seen = 1; %>"
     "<%= Request.QueryString('id') %>"},
    {"cookie.asp",
     "<% Response.Cookies ('k')= 'x' + \"()\" // Response.Cookies('no') = 1\n"
     "var s = \"Response.Cookies('no') = 1\"; var n = 6 / 2; /* Response.Cookies('no') = 1 */\n"
     "Response.Cookies('m') = n; %><%= s %>"},
    {"hello.txt", "hello"},
    {"big.bin", big_file()},
    {"style.css", "p{}"},
    {".hidden", "secret"},
    {"dir/.git/config", "secret"},
    {"dir/index.html", "index"},
    {"shop/default.asp", "default <%= Request.ServerVariables('SCRIPT_NAME') %>"},
};

class Serve : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    site = new ServedSite(kSite, {"--max-body", "1K"});
    namespace fs = std::filesystem;
    fs::create_symlink("/etc/hostname", site->dir + "/parts/out.inc");
    fs::create_symlink("/etc/hostname", site->dir + "/link.txt");
    fs::create_symlink("/etc", site->dir + "/etclink");
  }
  static void TearDownTestSuite() { delete site; }
  static Reply run(const std::string& script, const std::string& target = "/run.asp",
                   const std::string& headers = "", const std::string& body = "") {
    return site->request(body.empty() ? "GET" : "POST", target,
                         "X-Run: " + script + "\r\n" + headers, body);
  }
  static ServedSite* site;
};
ServedSite* Serve::site = nullptr;

TEST_F(Serve, PagesIslandsAndIncludes) {
  struct Case {
    const char* target;
    int status;
    const char* body;  // exact for 200, a part of the error page otherwise
  } cases[] = {
      {"/islands.asp", 200, "A[0][1][2]\r\nB"},
      {"/include.asp", 200, "A2|B"},
      {"/bytes.asp", 200, "\xEF\xBB\xBF<p>\xC3\xA9\r\n\t\x01</p>x\r\n"},
      {"/shop/", 200, "default /shop/default.asp"},
      {"/vb.asp", 500, "VBScript"},
      {"/cycle.asp", 500, "includes itself"},
      {"/escape.asp", 500, "outside the site"},
      {"/error.asp", 500, "parts/bad.inc:2: ReferenceError"},
      {"/unclosed.asp", 500, "without its closing"},
  };
  for (const Case& c : cases) {
    const Reply reply = site->get(c.target);
    EXPECT_EQ(reply.status, c.status) << c.target;
    if (c.status == 200) {
      EXPECT_EQ(reply.body, c.body) << c.target;
    } else {
      EXPECT_NE(reply.body.find(c.body), std::string::npos) << c.target << ": " << reply.body;
    }
  }
}

TEST_F(Serve, RequestObjects) {
  const std::string form = "Content-Type: application/x-www-form-urlencoded\r\n";
  const std::string multipart = "Content-Type: multipart/form-data; boundary=XyZ\r\n";
  const std::string parts =
      "--XyZ\r\nContent-Disposition: form-data; name=\"title\"\r\n\r\nhello\r\nworld\r\n"
      "--XyZ\r\nContent-Disposition: form-data; name=\"upload\"; filename=\"notes.txt\"\r\n"
      "Content-Type: text/plain\r\n\r\nfile body\r\n--XyZ--\r\n";
  struct Case {
    std::string script;
    std::string target, headers, body;
    std::string expected;
  } cases[] = {
      {"Response.Write(Request.QueryString('a'))", "/run.asp?a=1&A=x%20y&b=2", "", "", "1, x y"},
      {"Response.Write(Request.QueryString('b'))", "/run.asp?b=%E2%82%AC+z", "", "",
       "\xE2\x82\xAC z"},
      // A character outside the basic plane is one surrogate pair to the page.
      {"Response.Write(Request.QueryString('c').length)", "/run.asp?c=%F0%9F%98%80", "", "", "2"},
      {"Response.Write(Request.QueryString('no') === undefined)", "/run.asp", "", "", "True"},
      {"Response.Write(Request.QueryString())", "/run.asp?x=%41&y", "", "", "x=%41&y"},
      {"Response.Write(Request.Form('b') + '/' + Request.Form('NAME'))", "/run.asp", form,
       "b=2&b=3&name=%3Cx%3E", "2, 3/<x>"},
      {"Response.Write(Request.Form('title') + '|' + Request.Form('upload'))", "/run.asp",
       multipart, parts, "hello\r\nworld|notes.txt"},
      {"Response.Write(Request.Cookies('d') + '|' + Request.Cookies('c'))", "/run.asp",
       "Cookie: c=1; d=two%20words\r\n", "", "two words|1"},
      {"Response.Write(Request('a') + Request('f') + Request('c') + Request('REQUEST_METHOD'))",
       "/run.asp?a=q", form + "Cookie: c=k\r\n", "a=x&f=y", "qykPOST"},
      {"Response.Write([Request.ServerVariables('request_method'),"
       " Request.ServerVariables('QUERY_STRING'), Request.ServerVariables('SCRIPT_NAME'),"
       " Request.ServerVariables('PATH_INFO'), Request.ServerVariables('REMOTE_ADDR'),"
       " Request.ServerVariables('SERVER_NAME'), Request.ServerVariables('HTTP_X_CUSTOM')]"
       ".join())",
       "/run.asp?q=1", "X-Custom: a\r\nX-Custom: b\r\n", "",
       "GET,q=1,/run.asp,/run.asp,127.0.0.1,localhost,a, b"},
      {"Response.Write(Request.ServerVariables('SERVER_PORT') == " + std::to_string(site->port) +
           ")",
       "/run.asp", "", "", "True"},
      {"Response.Write(Server.HTMLEncode(\"<a href='x'>&\\\"\") + Server.HTMLEncode(null))",
       "/run.asp", "", "", "&lt;a href=&#39;x&#39;&gt;&amp;&quot;"},
      {"Response.Write(Server.URLEncode('a b&c/\xC3\xA9~'))", "/run.asp", "", "",
       "a+b%26c%2F%C3%A9~"},
      {"Response.Write(Server.MapPath('/x/y.txt') == Server.MapPath('x/y.txt'))", "/run.asp", "",
       "", "True"},
      {"try { Request.QueryString({}) } catch (e) { Response.Write(e.number + e.source) }",
       "/run.asp", "", "", "13Request"},
      {"try { Server.MapPath('../../etc') } catch (e) { Response.Write(e.description) }",
       "/run.asp", "", "", "the path '../../etc' lies outside the site"},
  };
  for (const Case& c : cases) {
    const Reply reply = run(c.script, c.target, c.headers, c.body);
    EXPECT_EQ(reply.status, 200) << c.script << reply.body;
    EXPECT_EQ(reply.body, "[" + c.expected + "]") << c.script;
  }
  EXPECT_EQ(run("Response.Write(Server.MapPath('/x/y.txt'))").body,
            "[" + std::filesystem::canonical(site->dir).native() + "/x/y.txt]");
}

TEST_F(Serve, ResponseStatusHeadersCookiesAndRedirects) {
  struct Case {
    const char* script;
    int status;
    const char* header;  // name: value, or "" for none
    const char* body;    // a part of the body
  } cases[] = {
      {"Response.Status = '404 Not Found'", 404, "", "[]"},
      {"Response.Status = '410'", 410, "", "[]"},
      {"Response.ContentType = 'text/plain'; Response.Charset = 'iso-8859-1'", 200,
       "Content-Type: text/plain; charset=iso-8859-1", "[]"},
      {"Response.AddHeader('X-Thing', 'one')", 200, "X-Thing: one", "[]"},
      {"Response.Cookies('k').Value = 'v w'; Response.Cookies('k').HttpOnly = true", 200,
       "Set-Cookie: k=v+w; Path=/; HttpOnly", "[]"},
      {"Response.Redirect('/next.asp?a=1'); Response.Write('not sent')", 302,
       "Location: /next.asp?a=1", "Object moved"},
      {"Response.Write('a'); Response.End(); Response.Write('b')", 200, "", "[a"},
      {"Response.Write('a'); Response.Clear(); Response.Write('b')", 200, "", "b]"},
      {"Response.Write('a'); Response.Flush(); try { Response.Status = '404' }"
       " catch (e) { Response.Write(e.description) }",
       200, "Transfer-Encoding: chunked", "already written"},
      // Header injection is refused; the page's error names it.
      {"Response.AddHeader('X-A', 'a\\r\\nX-B: b')", 500, "", "one line"},
      {"Response.Status = '200 OK\\r\\nX-B: b'", 500, "", "404 Not Found"},
      {"Response.Redirect('/a\\nX-B: b')", 500, "", "one line"},
      {"Response.AddHeader('Content-Length', '0')", 500, "", "sets the header"},
      {"undefinedThing()", 500, "", "run.asp:1: ReferenceError"},
  };
  for (const Case& c : cases) {
    const Reply reply = run(c.script);
    EXPECT_EQ(reply.status, c.status) << c.script << "\n" << reply.body;
    const std::string header = c.header;
    if (!header.empty()) {
      const std::size_t colon = header.find(": ");
      EXPECT_EQ(reply.header(header.substr(0, colon)), header.substr(colon + 2)) << c.script;
    }
    EXPECT_EQ(reply.header("X-B"), "") << c.script;
    EXPECT_NE(reply.body.find(c.body), std::string::npos) << c.script << "\n" << reply.body;
  }
  // A page that catches its end changes its response no more: what it
  // writes, clears, redirects to or sets after it is not sent.
  const Reply caught = run(
      "try { Response.Write('a'); Response.End() } catch (e) {} Response.Write('b');"
      " Response.Clear(); Response.Status = '404'; try { Response.Redirect('/x') } catch (e) {}");
  EXPECT_EQ(caught.status, 200);
  EXPECT_EQ(caught.header("Location"), "");
  EXPECT_EQ(caught.body.find('b'), std::string::npos) << caught.body;
  EXPECT_NE(caught.body.find("[a"), std::string::npos) << caught.body;
}

TEST_F(Serve, CookiesAreSetByAssignment) {
  const Reply reply = site->get("/cookie.asp");
  EXPECT_EQ(reply.header("Set-Cookie"), "k=x%28%29; Path=/");
  EXPECT_EQ(reply.body, "Response.Cookies('no') = 1");
}

TEST_F(Serve, StaticFiles) {
  const Reply text = site->get("/hello.txt");
  EXPECT_EQ(text.status, 200);
  EXPECT_EQ(text.body, "hello");
  EXPECT_EQ(text.header("Content-Type"), "text/plain; charset=utf-8");
  EXPECT_EQ(text.header("Content-Length"), "5");
  EXPECT_EQ(site->get("/style.css").header("Content-Type"), "text/css; charset=utf-8");
  EXPECT_EQ(site->get("/dir/").body, "index");

  const std::string modified = text.header("Last-Modified");
  const Reply same = site->request("GET", "/hello.txt", "If-Modified-Since: " + modified + "\r\n");
  EXPECT_EQ(same.status, 304);
  EXPECT_EQ(same.body, "");
  const Reply older =
      site->request("GET", "/hello.txt", "If-Modified-Since: Sun, 06 Nov 1994 08:49:37 GMT\r\n");
  EXPECT_EQ(older.status, 200);

  const Reply big = site->get("/big.bin");
  const std::string& sent = kSite.at("big.bin");
  EXPECT_EQ(big.header("Content-Length"), std::to_string(sent.size()));
  EXPECT_TRUE(big.body == sent) << big.body.size() << " bytes";

  const Reply head = site->request("HEAD", "/hello.txt");
  EXPECT_EQ(head.status, 200);
  EXPECT_EQ(head.header("Content-Length"), "5");
  EXPECT_EQ(head.head.find("Content-Length"), head.head.rfind("Content-Length")) << head.head;
  EXPECT_EQ(head.body, "");
  const Reply page_head = site->request("HEAD", "/islands.asp");
  EXPECT_EQ(page_head.status, 200);
  EXPECT_EQ(page_head.body, "");

  const Reply moved = site->get("/dir?x=1");
  EXPECT_EQ(moved.status, 301);
  EXPECT_EQ(moved.header("Location"), "/dir/?x=1");
  EXPECT_EQ(site->request("DELETE", "/hello.txt").status, 405);

  std::ifstream in(VANTREL_COMPAT_SCRIPT_PATH, std::ios::binary);
  const std::string compat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const Reply script = site->get("/vantrel-compat.js");
  EXPECT_EQ(script.header("Content-Type"), "text/javascript; charset=utf-8");
  EXPECT_EQ(script.body, compat);
  const Reply cached = site->request(
      "GET", "/vantrel-compat.js", "If-Modified-Since: " + script.header("Last-Modified") + "\r\n");
  EXPECT_EQ(cached.status, 304);
  EXPECT_EQ(site->request("POST", "/vantrel-compat.js").header("Allow"), "GET, HEAD");
  EXPECT_EQ(site->get("/islands.asp").body.find("vantrel-compat"), std::string::npos);
}

// A named pipe in the site is not a file to send, and opening it must not
// wait for a writer: the worker answers at once and serves the next request.
TEST(ServeStaticFiles, ANamedPipeIsNotFoundAndHoldsNoWorker) {
  char dir[] = "/tmp/vantrel-pipe-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  ASSERT_EQ(mkfifo((std::string(dir) + "/pipe").c_str(), 0600), 0);
  std::ofstream(std::string(dir) + "/a.txt") << "a";
  {
    ServedSite site{std::string(dir)};
    EXPECT_EQ(site.get("/pipe").status, 404);
    EXPECT_EQ(site.get("/a.txt").body, "a");
  }
  std::filesystem::remove_all(dir);
}

TEST(ServeCompatScript, TheOptionPutsItsTagFirstInEveryPage) {
  const std::map<std::string, std::string> files = {
      {"plain.asp", "<p><%= 1 %>"},
      {"doctype.asp", "<!DOCTYPE html>\r\n<p>"},
      {"flushed.asp", "<!doctype html><% Response.Flush() %><p>"},
      {"static.html", "<p>"},
  };
  ServedSite site(files, {"--compat-script"});
  const std::string tag = "<script src=\"/vantrel-compat.js\"></script>\n";
  EXPECT_EQ(site.get("/plain.asp").body, tag + "<p>1");
  EXPECT_EQ(site.get("/doctype.asp").body, "<!DOCTYPE html>\r\n" + tag + "<p>");
  EXPECT_EQ(site.get("/flushed.asp").body, "<!doctype html>" + tag + "<p>");
  EXPECT_EQ(site.get("/static.html").body, "<p>");
}

TEST_F(Serve, UnsafePathsAndMalformedRequestsAreRefused) {
  const std::string big_body(2048, 'x');
  struct Case {
    std::string raw;
    int status;
  } cases[] = {
      {"GET /../etc/passwd HTTP/1.1\r\nHost: a\r\n\r\n", 400},
      {"GET /dir/../hello.txt HTTP/1.1\r\nHost: a\r\n\r\n", 400},
      {"GET /%2e%2e/etc/passwd HTTP/1.1\r\nHost: a\r\n\r\n", 400},
      {"GET /dir%2findex.html HTTP/1.1\r\nHost: a\r\n\r\n", 400},
      {"GET /dir%5cindex.html HTTP/1.1\r\nHost: a\r\n\r\n", 400},
      {"GET /hello.txt%00.asp HTTP/1.1\r\nHost: a\r\n\r\n", 400},
      {"GET /%zz HTTP/1.1\r\nHost: a\r\n\r\n", 400},
      {"GET /.hidden HTTP/1.1\r\nHost: a\r\n\r\n", 404},
      {"GET /dir/.git/config HTTP/1.1\r\nHost: a\r\n\r\n", 404},
      {"GET /parts/a.inc HTTP/1.1\r\nHost: a\r\n\r\n", 404},
      {"GET /parts/A.INC HTTP/1.1\r\nHost: a\r\n\r\n", 404},
      {"GET /link.txt HTTP/1.1\r\nHost: a\r\n\r\n", 404},
      {"GET /etclink/hostname HTTP/1.1\r\nHost: a\r\n\r\n", 404},
      {"GARBAGE\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\n\r\n", 400},
      {"GET / HTTP/2.0\r\nHost: a\r\n\r\n", 505},
      {"GET / HTTP/1.1\r\nHost: a\r\nBad Header\r\n\r\n", 400},
      {"GET / HTTP/1.1\r\nHost: a\r\n folded\r\n\r\n", 400},
      {"POST /run.asp HTTP/1.1\r\nHost: a\r\nContent-Length: 3\r\n"
       "Transfer-Encoding: chunked\r\n\r\nabc",
       400},
      {"POST /run.asp HTTP/1.1\r\nHost: a\r\nContent-Length: x\r\n\r\n", 400},
      {"POST /run.asp HTTP/1.1\r\nHost: a\r\nContent-Length: 2048\r\n\r\n" + big_body, 413},
      {"POST /run.asp HTTP/1.1\r\nHost: a\r\nTransfer-Encoding: chunked\r\n\r\n800\r\n" + big_body +
           "\r\n0\r\n\r\n",
       413},
      {"GET / HTTP/1.1\r\nHost: a\r\nX: " + std::string(20000, 'x') + "\r\n\r\n", 431},
  };
  for (Case& c : cases) {
    // Without it the client would wait for a kept-alive connection to time out.
    const std::size_t host = c.raw.find("Host: a\r\n");
    if (host != std::string::npos) c.raw.insert(host, "Connection: close\r\n");
    const Reply reply = parse_reply(site->exchange(c.raw));
    EXPECT_EQ(reply.status, c.status) << c.raw.substr(0, 60);
    EXPECT_EQ(reply.body.find("secret"), std::string::npos);
  }
}

TEST_F(Serve, KeepAliveChunkedBodiesAndPipelining) {
  const std::string raw =
      "POST /run.asp HTTP/1.1\r\nHost: a\r\nX-Run: Response.Write(Request.Form('a'))\r\n"
      "Content-Type: application/x-www-form-urlencoded\r\nTransfer-Encoding: chunked\r\n\r\n"
      "2\r\na=\r\n3\r\nxyz\r\n0\r\n\r\n"
      "GET /hello.txt HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n";
  const std::string replies = site->exchange(raw);
  const std::size_t second = replies.find("HTTP/1.1", 1);
  ASSERT_NE(second, std::string::npos) << replies;
  EXPECT_EQ(parse_reply(replies.substr(0, second)).body, "[xyz]");
  EXPECT_EQ(parse_reply(replies.substr(second)).body, "hello");
}

TEST_F(Serve, FlushedPartsArriveBeforeThePageEnds) {
  const int fd = site->connect_client();
  ASSERT_GE(fd, 0);
  const std::string raw = "GET /stream.asp HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n";
  ASSERT_EQ(send(fd, raw.data(), raw.size(), 0), static_cast<ssize_t>(raw.size()));
  const Clock::time_point start = Clock::now();
  std::string received;
  char buffer[4096];
  Clock::duration first_at{};
  ssize_t n = 0;
  while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) {
    received.append(buffer, static_cast<std::size_t>(n));
    if (first_at == Clock::duration{} && received.find("first") != std::string::npos) {
      first_at = Clock::now() - start;
    }
  }
  close(fd);
  const Clock::duration total = Clock::now() - start;
  EXPECT_LT(first_at, std::chrono::milliseconds(400));
  EXPECT_GE(total, std::chrono::milliseconds(550));
  EXPECT_EQ(parse_reply(received).body, "firstsecond");
}

TEST_F(Serve, ManyClientsAtOnceSeeOnlyTheirOwnRequest) {
  std::atomic<int> wrong{0};
  std::vector<std::thread> clients;
  for (int t = 0; t < 8; ++t) {
    clients.emplace_back([&, t] {
      for (int i = 0; i < 10; ++i) {
        const std::string id = std::to_string(t * 100 + i);
        if (site->get("/fresh.asp?id=" + id).body != id) ++wrong;
      }
    });
  }
  for (std::thread& c : clients) c.join();
  EXPECT_EQ(wrong, 0);
}

// Resident memory of a process, in KiB.
long resident_kib(int pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmRSS:")) return std::atol(line.c_str() + 6);
  }
  return -1;
}

TEST(ServeLimits, RunawayPagesEndAfterTheirLimitWhileOthersAreAnswered) {
  const std::map<std::string, std::string> files = {
      {"loop.asp", "<% for (;;) {} %>"},
      {"short.asp", "<% Server.ScriptTimeout = 1; for (;;) {} %>"},
      {"hog.asp", "<% var a = ['x']; for (;;) a.push(a[a.length - 1] + a[a.length - 1]); %>"},
      {"hog_output.asp", "<% for (;;) { %>" + std::string(100000, 'x') + "<% } %>"},
      {"fine.asp", "fine"},
  };
  ServedSite site(files, {"--timeout", "2", "--memory-limit", "16M", "--threads", "2"});
  struct Case {
    const char* target;
    int status;
    const char* says;
    int at_most_seconds;
  } cases[] = {
      {"/loop.asp", 503, "time limit of 2 s", 4},
      {"/short.asp", 503, "time limit", 2},
      {"/hog.asp", 500, "memory limit of 16 MiB", 4},
      {"/hog_output.asp", 500, "memory limit", 4},
  };
  for (const Case& c : cases) {
    const Clock::time_point start = Clock::now();
    Reply fine;
    std::thread other([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      fine = site.get("/fine.asp");
    });
    const Reply reply = site.get(c.target);
    other.join();
    EXPECT_EQ(reply.status, c.status) << c.target;
    EXPECT_NE(reply.body.find(c.says), std::string::npos) << c.target << reply.body;
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(c.at_most_seconds)) << c.target;
    EXPECT_EQ(fine.body, "fine") << "while " << c.target << " ran";
  }
  // The memory a page took goes back: more runs do not grow the server.
  // (The address sanitizer holds freed memory back on purpose.)
  // Both workers run a hog first, so each has grown its allocator's arena once
  // before the measurement starts.
  std::thread second([&] { EXPECT_EQ(site.get("/hog.asp").status, 500); });
  EXPECT_EQ(site.get("/hog.asp").status, 500);
  second.join();
  const int serving = site.serving_pid();
  const long before = resident_kib(serving);
  ASSERT_GT(before, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(site.get("/hog.asp").status, 500);
#ifndef VANTREL_ADDRESS_SANITIZER
  EXPECT_LT(resident_kib(serving) - before, 16 * 1024);
#else
  (void)before;
#endif
}

TEST(ServeErrors, DetailsGoToTheClientOnlyOnLoopbackAndAlwaysToTheLog) {
  const std::map<std::string, std::string> files = {{"bad.asp", "<% secretName() %>"}};
  for (const char* bind : {"127.0.0.1", "0.0.0.0"}) {
    ServedSite site(files, {"--bind", bind});
    const Reply reply = site.get("/bad.asp");
    EXPECT_EQ(reply.status, 500);
    EXPECT_EQ(reply.body.find("secretName") != std::string::npos, std::string(bind) == "127.0.0.1")
        << bind;
    site.stop();
    std::ifstream log(site.errors_file);
    const std::string logged((std::istreambuf_iterator<char>(log)),
                             std::istreambuf_iterator<char>());
    EXPECT_NE(logged.find("/bad.asp:1: ReferenceError: identifier 'secretName' undefined"),
              std::string::npos)
        << logged;
  }
}

TEST(ServeDemoSite, EveryPageRunsAndAnOrderIsStreamedBack) {
  ServedSite site(VANTREL_DEMO_SITE);
  for (const char* page : {"/", "/products.asp", "/products.asp?bare=1", "/shipping.asp",
                           "/help.asp", "/site.css", "/images/calendar.svg"}) {
    EXPECT_EQ(site.get(page).status, 200) << page;
  }
  const Reply order = site.request("POST", "/place_order.asp",
                                   "Content-Type: application/x-www-form-urlencoded\r\n",
                                   "Customer=%3Cb%3EAnn&State=Texas&Quantity=2");
  EXPECT_EQ(order.status, 200);
  EXPECT_EQ(order.header("Transfer-Encoding"), "chunked");
  EXPECT_NE(order.body.find("progress_update(6);"), std::string::npos);
  EXPECT_NE(order.body.find("<td id=\"posted-Customer\">&lt;b&gt;Ann</td>"), std::string::npos);
  EXPECT_NE(order.body.find("<td id=\"posted-State\">Texas</td>"), std::string::npos);
  EXPECT_EQ(site.get("/place_order.asp").status, 302);
  EXPECT_EQ(site.get("/includes/menu.inc").status, 404);
}

TEST(ServePages, AChangedIncludeIsReadAgain) {
  namespace fs = std::filesystem;
  const std::map<std::string, std::string> files = {
      {"page.asp", "<!-- #include file=\"part.inc\" -->"}, {"part.inc", "one"}};
  ServedSite site(files);
  const auto an_hour_ago = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const char* name : {"/page.asp", "/part.inc"}) {
    fs::last_write_time(site.dir + name, an_hour_ago);
  }
  EXPECT_EQ(site.get("/page.asp").body, "one");
  EXPECT_EQ(site.get("/page.asp").body, "one");
  std::ofstream(site.dir + "/part.inc", std::ios::binary) << "two";  // the same size
  fs::last_write_time(site.dir + "/part.inc", an_hour_ago + std::chrono::seconds(1));
  EXPECT_EQ(site.get("/page.asp").body, "two");
}

TEST(ServeCrash, ANewProcessTakesOverAfterACrash) {
  const std::map<std::string, std::string> files = {{"page.asp", "<%= 1 + 1 %>"}};
  ServedSite site(files);
  const int first = site.serving_pid();
  ASSERT_GT(first, 0);
  kill(first, SIGSEGV);
  for (int wait = 0; wait < 100 && site.serving_pid() == first; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_NE(site.serving_pid(), first);
  EXPECT_EQ(site.get("/page.asp").body, "2");
  EXPECT_EQ(site.stop(), 0);
}

TEST(ServeShutdown, RunningRequestsFinishAndNewOnesAreRefused) {
  const std::map<std::string, std::string> files = {
      {"slow.asp",
       "<% var end = new Date().getTime() + 800;"
       " while (new Date().getTime() < end) {} %>done"}};
  ServedSite site(files);
  Reply slow;
  std::thread client([&] { slow = site.get("/slow.asp"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_EQ(site.stop(), 0);
  client.join();
  EXPECT_EQ(slow.status, 200);
  EXPECT_EQ(slow.body, "done");
  EXPECT_LT(site.connect_client(), 0);
}

}  // namespace
}  // namespace vantrel::testing
