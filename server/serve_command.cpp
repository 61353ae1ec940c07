#include "server/serve_command.h"

#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "host/size_text.h"
#include "server/http_server.h"

namespace vantrel::server {

namespace {

constexpr std::string_view kServeHelp = R"(Usage: vantrel serve [options] SITE_DIR

Serves the folder SITE_DIR over HTTP/1.1. Server pages (.asp) run for each
request in a fresh script environment; every other file is sent as it is,
with its Content-Type and Last-Modified. A folder is served by its
default.asp, index.asp or index.html. Files and folders whose name starts
with a dot, include files (.inc) and anything a link leads to outside the
site are never served.

Options:
  --bind ADDRESS        address to listen on (default 127.0.0.1)
  --port N              port to listen on (default 8080; 0 picks a free one)
  --threads N           requests answered at once (default: one per core)
  --timeout SECONDS     longest time a page may run (default 30); a page can
                        change its own with Server.ScriptTimeout
  --memory-limit SIZE   script heap of one page (default 64M)
  --max-body SIZE       largest request body (default 4M); larger gets 413
  --grace SECONDS       after SIGINT or SIGTERM, how long running requests
                        may take to finish (default 10)
  --compat-script       put <script src="/vantrel-compat.js"></script> at the
                        top of every page
  --quiet               no access log
  -h, --help            this text

SIZE is a number of bytes, or a number followed by K, M or G.

Once listening it prints 'vantrel serve: serving SITE_DIR at http://ADDRESS:PORT/'
on standard output; each request then adds an access log line there.
Page errors and their details go to standard error; the client gets a 500
page naming the error only when the server is bound to a loopback address.
See docs/serve.md for the page objects, limits and status codes.

The requests are answered by a child process; should it crash, a new one
takes over (the requests it was answering are lost, no others).

Exit status: 0 after a stop by signal, 1 when requests were still running
at the end of the grace period (or the server kept crashing), 2 for a usage
error, 3 when the component library or the address cannot be used.
)";

constexpr std::string_view kServeUsage =
    "Usage: vantrel serve [options] SITE_DIR   (vantrel serve --help for more)\n";

enum : int { kStopped = 0, kUnfinished = 1, kUsageError = 2, kStartError = 3 };
constexpr std::size_t kMaxCrashesPerMinute = 10;

bool parse_number(std::string_view text, long long low, long long high, long long& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= low && value <= high;
}

int usage_error(const std::string& message) {
  std::cerr << "vantrel serve: " << message << "\n" << kServeUsage;
  return kUsageError;
}

// Serves in this process until a signal stops it; the exit status.
int serve_here(HttpServer& server, const sigset_t& signals) {
  std::thread([&server, signals] {
    for (;;) {
      int received = 0;
      sigwait(&signals, &received);
      server.stop();
    }
  }).detach();
  const bool finished = server.run();
  std::fflush(stdout);
  if (!finished) {
    std::cerr << "vantrel serve: requests were still running after the grace period\n";
    return kUnfinished;
  }
  return kStopped;
}

// Serves in a child process, and starts a new one when it dies of a signal:
// a crash takes down only the requests it was answering, never the server.
// The first SIGINT or SIGTERM stops the child gracefully, a second at once.
int supervise(HttpServer& server, const sigset_t& signals) {
  std::vector<std::chrono::steady_clock::time_point> crashes;
  for (;;) {
    std::cout.flush();
    std::fflush(stdout);
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) return serve_here(server, signals);  // no supervision, but service
    if (child == 0) {
      // Without its supervisor the child stops too.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != parent) std::_Exit(kStopped);
      const int status = serve_here(server, signals);
      std::fflush(stderr);
      std::_Exit(status);
    }
    int stops = 0;
    for (;;) {
      const timespec tick{0, 100'000'000};
      const int received = sigtimedwait(&signals, nullptr, &tick);
      if (received > 0) {
        if (++stops == 1) {
          std::cerr << "vantrel serve: stopping; running requests may take up to the grace "
                       "period\n";
          server.close_listener();
          kill(child, SIGTERM);
        } else {
          std::cerr << "vantrel serve: stopped at once\n";
          kill(child, SIGKILL);
        }
      }
      int status = 0;
      if (waitpid(child, &status, WNOHANG) != child) continue;
      if (stops > 0) return stops == 1 && WIFEXITED(status) ? WEXITSTATUS(status) : kUnfinished;
      // Unasked, the child never ends: it failed (a crash, an abort).
      std::cerr << "vantrel serve: the serving process "
                << (WIFSIGNALED(status)
                        ? std::string("died of signal ") + strsignal(WTERMSIG(status))
                        : "ended with status " + std::to_string(WEXITSTATUS(status)))
                << "; starting a new one\n";
      const auto now = std::chrono::steady_clock::now();
      crashes.push_back(now);
      std::erase_if(crashes, [&](auto when) { return now - when > std::chrono::minutes(1); });
      if (crashes.size() > kMaxCrashesPerMinute) {
        std::cerr << "vantrel serve: more than " << kMaxCrashesPerMinute
                  << " crashes in a minute; giving up\n";
        return kUnfinished;
      }
      break;
    }
  }
}

}  // namespace

int serve_command(int argc, char** argv, bool (*load_library)(std::string& error)) {
  ServerOptions options;
  std::string site;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::cout << kServeHelp;
      return 0;
    }
    const auto value = [&](std::string_view& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string_view text;
    long long number = 0;
    if (arg == "--compat-script") {
      options.compat_script = true;
    } else if (arg == "--quiet") {
      options.access_log = false;
    } else if (arg == "--bind") {
      if (!value(text) || text.empty()) return usage_error("--bind needs an address");
      options.bind = text;
    } else if (arg == "--port") {
      if (!value(text) || !parse_number(text, 0, 65535, number)) {
        return usage_error("--port needs a number from 0 to 65535");
      }
      options.port = static_cast<int>(number);
    } else if (arg == "--threads") {
      if (!value(text) || !parse_number(text, 1, 1024, number)) {
        return usage_error("--threads needs a number from 1 to 1024");
      }
      options.threads = static_cast<int>(number);
    } else if (arg == "--timeout" || arg == "--grace") {
      if (!value(text) || !parse_number(text, 1, 86400, number)) {
        return usage_error(std::string(arg) + " needs a number of seconds from 1 to 86400");
      }
      (arg == "--timeout" ? options.timeout : options.grace) = std::chrono::seconds(number);
    } else if (arg == "--memory-limit" || arg == "--max-body") {
      // Every request has both limits: 0 is refused, not taken as none.
      const auto bytes = value(text) ? host::parse_size(text) : std::nullopt;
      if (!bytes || *bytes == 0) {
        return usage_error(std::string(arg) + " needs a size such as 65536, 512K or 64M");
      }
      (arg == "--memory-limit" ? options.memory_limit : options.max_body) = *bytes;
    } else if (arg.starts_with("-") && arg.size() > 1) {
      return usage_error("unknown option '" + std::string(arg) + "'");
    } else if (!site.empty()) {
      return usage_error("expected one site folder");
    } else {
      site = arg;
    }
  }
  if (site.empty()) return usage_error("name the site folder to serve");
  std::error_code ec;
  options.site = std::filesystem::canonical(site, ec);
  if (ec || !std::filesystem::is_directory(options.site, ec)) {
    return usage_error("'" + site + "' is not a folder");
  }
  std::string error;
  if (!load_library(error)) {
    std::cerr << "vantrel serve: " << error << "\n";
    return kStartError;
  }

  // Large blocks (a page's big strings and arrays) come from the system and
  // go back to it when freed, rather than staying with the allocator after a
  // page that used much memory.
  mallopt(M_MMAP_THRESHOLD, 256 * 1024);

  // Signals are taken by one thread; the others never see them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  HttpServer server(options);
  if (!server.listen(error)) {
    std::cerr << "vantrel serve: " << error << "\n";
    return kStartError;
  }
  const bool v6 = options.bind.find(':') != std::string::npos;
  std::cout << "vantrel serve: serving " << site << " at http://" << (v6 ? "[" : "") << options.bind
            << (v6 ? "]" : "") << ":" << server.port() << "/" << std::endl;

  return supervise(server, signals);
}

}  // namespace vantrel::server
