// vantrel: runs page scripts against the Vantrel component library.

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "client/compat_script.h"
#include "host/library_dir.h"
#include "host/page_host.h"
#include "host/page_source.h"
#include "host/server_page.h"
#include "host/size_text.h"
#include "platform/posix/runtime.h"
#include "server/serve_command.h"

namespace {

constexpr std::string_view kUsage =
    R"(Usage: vantrel run [--timeout SECONDS] [--memory-limit SIZE] [--compat-script] FILE|-
       vantrel run --help
       vantrel serve [options] SITE_DIR
       vantrel compat-script
       vantrel --help

Runs page scripts against the Vantrel component library.
)";

constexpr std::string_view kHelp =
    R"(vantrel - run page scripts against the Vantrel component library

Usage: vantrel run [--timeout SECONDS] [--memory-limit SIZE] [--compat-script] FILE|-
       vantrel serve [options] SITE_DIR
       vantrel compat-script

Commands:
  run FILE|-      Run the page script FILE (or standard input for -) and
                  write the page it produces to standard output.
  serve SITE_DIR  Serve the folder SITE_DIR over HTTP: server pages (.asp)
                  run for each request, other files are sent as they are.
  compat-script   Print the browser compatibility script (vantrel-compat.js)
                  byte for byte, for a page or a build step to include. Pages
                  load it before the first component output, for example with
                  <script src="vantrel-compat.js"></script> right after <body>.

Run 'vantrel run --help' for what a page script can use, and
'vantrel serve --help' for the server's options.
)";

constexpr std::string_view kCompatHelp = R"(Usage: vantrel compat-script

Prints the browser compatibility script, vantrel-compat.js, byte for byte: it
lets the components' client scripts run in current browsers. A page loads it
once, before the first component output, for example with
  <script src="vantrel-compat.js"></script>
right after <body>. It is also installed as share/vantrel/vantrel-compat.js.
)";

constexpr std::string_view kRunHelp =
    R"(Usage: vantrel run [--timeout SECONDS] [--memory-limit SIZE] [--compat-script] FILE|-

Runs the page script FILE, or standard input when FILE is -, and writes the
page it produces to standard output, byte for byte (UTF-8, CR LF kept,
nothing added unless --compat-script is given).

Options:
  --timeout SECONDS    stop the page after this long (default 30; decimals
                       allowed; 0 for no limit)
  --memory-limit SIZE  cap the memory the page's script heap and its text
                       may use: bytes, or with a suffix K, M or G (powers of
                       1024), e.g. 64M or 1G (default 256M; 0 for no limit)
  --compat-script      put <script src="vantrel-compat.js"></script> first
                       in the page (after a leading <!DOCTYPE>), for a page
                       saved beside the browser compatibility script
A page script may be at most 16 MiB.

A page script is ECMAScript 5.1 (the server-side JScript dialect), UTF-8.
It has two globals:
  Server.CreateObject(progId)  creates a library object, for example
                               Server.CreateObject("Vantrel.Calendar");
                               identifiers are compared without regard to case
  Response.Write(value)        appends value to the page, converted to text by
                               the automation rules (null adds nothing)

A FILE ending in .asp is a server page: HTML with script islands,
  <% statements %>  <%= expression %>  <%@ LANGUAGE="JScript" %>
and includes, <!-- #include file="NAME" --> (from the page's folder) and
<!-- #include virtual="/NAME" --> (from the page's folder as the site root).
The HTML between islands is written byte for byte; Response.End() stops the
page. Under vantrel serve a page has the request objects too
(docs/serve.md).

Objects: obj.Name reads a property, obj.Name = v writes it, obj.Method(a, b)
calls a method; member names in any case. Arguments become automation values:
undefined -> Empty (an omitted optional argument), null -> Null, boolean ->
Boolean, whole numbers in the 32-bit range -> Long, other numbers -> Double,
string -> String, Date -> Date; arrays and other objects are refused by
every conversion (type mismatch). Results come back the other way round.

An automation error is thrown as an Error with .number, .source and
.description (.message is the description); a page can catch it with
try/catch.

Exit status (in every case what the page wrote so far goes to standard
output, and standard error says what happened):
  0  the page ran through
  1  an error the page did not catch: standard error gets
     'SOURCE: error NUMBER: DESCRIPTION' (the source left out when empty)
     for an automation error, or 'FILE:LINE: NAME: MESSAGE' for a script
     error; also when the page cannot be written out (disk full, closed pipe)
  2  the page has a syntax error (standard error gets FILE:LINE and the
     message), or the command line or the file could not be used
  3  the component library could not be loaded
  4  the page ran past its time limit and was stopped
  5  the page needed more memory than its limit (or the system) allows
)";

enum : int { kUsageError = 2, kLibraryError = 3 };

using vantrel::host::PageLimits;

// libvantrel.so stands next to the command, or in ../lib when installed.
std::string library_path() { return vantrel::host::library_file("libvantrel.so"); }

// "30", "0.5"; at most a day, in whole milliseconds rounded up.
std::optional<std::chrono::milliseconds> parse_seconds(std::string_view text) {
  double seconds = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !(seconds >= 0 && seconds <= 86400)) {
    return std::nullopt;
  }
  return std::chrono::milliseconds(static_cast<long long>(std::ceil(seconds * 1000)));
}

// Writes the page; false when it could not all be written.
bool write_page(std::string_view page) {
  std::fwrite(page.data(), 1, page.size(), stdout);
  return std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
}

// Records the component library with the runtime.
bool load_library(std::string& error) {
  std::string reason;
  const std::string library = library_path();
  if (vantrel::posix::failed(vantrel::posix::register_server(library, &reason))) {
    error = "cannot load the component library " + library + ": " + reason;
    return false;
  }
  return true;
}

int run(const std::string& file, const PageLimits& limits, bool compat_script) {
  // A server page is read (with its includes) by load_page below.
  const bool server_page = file != "-" && vantrel::host::is_server_page(file);
  std::string source;
  if (!server_page && !vantrel::host::read_page_file(file, source)) {
    std::cerr << "vantrel: cannot read '" << file << "': " << std::strerror(errno) << "\n";
    return kUsageError;
  }
  std::string error;
  if (!load_library(error)) {
    std::cerr << "vantrel: " << error << "\n";
    return kLibraryError;
  }
  vantrel::host::PageResult result;
  if (server_page) {
    vantrel::host::PageProgram program;
    const std::filesystem::path path(file);
    if (!vantrel::host::load_page(path, path.parent_path().empty() ? "." : path.parent_path(), file,
                                  program, error)) {
      std::cerr << "vantrel: " << error << "\n";
      return kUsageError;
    }
    vantrel::host::ServerPageHooks hooks(program);
    result = vantrel::host::run_server_page(hooks, limits);
  } else {
    result = vantrel::host::run_page(source, file == "-" ? "<stdin>" : file, limits);
  }
  vantrel::posix::free_unused_libraries();
  if (compat_script) vantrel::client::insert_compat_tag(result.page, "vantrel-compat.js");
  const bool written = write_page(result.page);
  const int write_error = errno;
  std::cerr.write(result.diagnostics.data(),
                  static_cast<std::streamsize>(result.diagnostics.size()));
  if (!written) {
    std::cerr << "vantrel: cannot write the page to standard output: " << std::strerror(write_error)
              << "\n";
    return vantrel::host::kPageFailed;
  }
  return result.exit_status;
}

// `vantrel run [options] FILE|-`, from argv[2] on.
int run_command(int argc, char** argv) {
  PageLimits limits;
  bool compat_script = false;
  std::string file;
  for (int i = 2; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kRunHelp;
      return 0;
    }
    std::string_view value;
    const std::size_t equals = arg.find('=');
    const bool option = arg.size() > 1 && arg[0] == '-';
    if (option && equals != std::string_view::npos) {
      value = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    } else if (option && (arg == "--timeout" || arg == "--memory-limit")) {
      if (i + 1 == argc) {
        std::cerr << "vantrel run: " << arg << " needs a value\n\n" << kUsage;
        return kUsageError;
      }
      value = argv[++i];
    }
    if (option && arg == "--compat-script" && equals == std::string_view::npos) {
      compat_script = true;
    } else if (option && arg == "--timeout") {
      const auto timeout = parse_seconds(value);
      if (!timeout) {
        std::cerr << "vantrel run: --timeout takes seconds from 0 to 86400, not '" << value
                  << "'\n";
        return kUsageError;
      }
      limits.timeout = *timeout;
    } else if (option && arg == "--memory-limit") {
      const auto size = vantrel::host::parse_size(value);
      if (!size) {
        std::cerr << "vantrel run: --memory-limit takes a size such as 64M or 1G (at most 1024G), "
                     "not '"
                  << value << "'\n";
        return kUsageError;
      }
      limits.memory_bytes = *size;
    } else if (option) {
      std::cerr << "vantrel run: unknown option '" << argv[i] << "'\n\n" << kUsage;
      return kUsageError;
    } else if (!file.empty() || arg.empty()) {
      std::cerr << "vantrel run: expected one page script\n\n" << kUsage;
      return kUsageError;
    } else {
      file = arg;
    }
  }
  if (file.empty()) {
    std::cerr << "vantrel run: name a page script, or - for standard input\n\n" << kUsage;
    return kUsageError;
  }
  return run(file, limits, compat_script);
}

}  // namespace

// The command's entry point, called by the launcher (host/launcher.cpp).
extern "C" __attribute__((visibility("default"))) int vantrel_command_main(int argc, char** argv) {
  // A closed pipe is reported as a failed write, not a silent death.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h" || command == "help") {
      std::cout << kHelp;
      return 0;
    }
    if (command == "serve") {
      return vantrel::server::serve_command(argc - 2, argv + 2, &load_library);
    }
    if (command == "compat-script") {
      const std::string_view option = argc > 2 ? argv[2] : "";
      if (argc == 3 && (option == "--help" || option == "-h")) {
        std::cout << kCompatHelp;
        return 0;
      }
      if (argc > 2) {
        std::cerr << "vantrel compat-script: takes no arguments\n\n" << kUsage;
        return kUsageError;
      }
      if (!write_page(vantrel::client::compat_script())) {
        std::cerr << "vantrel compat-script: cannot write: " << std::strerror(errno) << "\n";
        return 1;
      }
      return 0;
    }
    if (command != "run") {
      if (!command.empty()) std::cerr << "vantrel: unknown command '" << command << "'\n\n";
      std::cerr << kUsage;
      return kUsageError;
    }
    return run_command(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("vantrel: out of memory\n", stderr);
    return vantrel::host::kPageOutOfMemory;
  }
}
