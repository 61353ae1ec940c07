// vantrel: runs page scripts against the Vantrel component library.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "client/compat_script.h"
#include "host/library_dir.h"
#include "host/page_host.h"
#include "platform/posix/runtime.h"

namespace {

constexpr std::string_view kUsage = R"(Usage: vantrel run FILE|-
       vantrel run --help
       vantrel compat-script
       vantrel --help

Runs page scripts against the Vantrel component library.
)";

constexpr std::string_view kHelp =
    R"(vantrel - run page scripts against the Vantrel component library

Usage: vantrel run FILE|-
       vantrel compat-script

Commands:
  run FILE|-      Run the page script FILE (or standard input for -) and
                  write the page it produces to standard output.
  compat-script   Print the browser compatibility script (vantrel-compat.js)
                  byte for byte, for a page or a build step to include. Pages
                  load it before the first component output, for example with
                  <script src="vantrel-compat.js"></script> right after <body>.

Run 'vantrel run --help' for what a page script can use.
)";

constexpr std::string_view kRunHelp = R"(Usage: vantrel run FILE|-

Runs the page script FILE, or standard input when FILE is -, and writes the
page it produces to standard output, byte for byte (UTF-8, CR LF kept,
nothing added).

A page script is ECMAScript 5.1 (the server-side JScript dialect), UTF-8.
It has two globals:
  Server.CreateObject(progId)  creates a library object, for example
                               Server.CreateObject("Vantrel.Calendar");
                               identifiers are compared without regard to case
  Response.Write(value)        appends value to the page, converted to text by
                               the automation rules (null adds nothing)

Objects: obj.Name reads a property, obj.Name = v writes it, obj.Method(a, b)
calls a method; member names in any case. Arguments become automation values:
undefined -> Empty (an omitted optional argument), null -> Null, boolean ->
Boolean, whole numbers in the 32-bit range -> Long, other numbers -> Double,
string -> String, Date -> Date; arrays and other objects are refused by
every conversion (type mismatch). Results come back the other way round.

An automation error is thrown as an Error with .number, .source and
.description (.message is the description); a page can catch it with
try/catch.

Exit status:
  0  the page ran through
  1  an error the page did not catch: what the page wrote so far goes to
     standard output, then standard error gets
     'SOURCE: error NUMBER: DESCRIPTION' (the source left out when empty)
     for an automation error, or 'FILE:LINE: NAME: MESSAGE' for a script error
  2  the page has a syntax error (standard error gets FILE:LINE and the
     message), or the command line or the file could not be used
  3  the component library could not be loaded
)";

enum : int { kUsageError = 2, kLibraryError = 3 };

// libvantrel.so stands next to the command, or in ../lib when installed.
std::string library_path() { return vantrel::host::library_file("libvantrel.so"); }

// Reads the whole page script; false (with errno set) when it cannot be read,
// a directory included.
bool read_source(const std::string& file, std::string& source) {
  std::FILE* in = file == "-" ? stdin : std::fopen(file.c_str(), "rb");
  if (in == nullptr) return false;
  char buffer[65536];
  std::size_t size = 0;
  while ((size = std::fread(buffer, 1, sizeof buffer, in)) > 0) source.append(buffer, size);
  const bool ok = std::ferror(in) == 0;
  const int error = errno;
  if (in != stdin) std::fclose(in);
  errno = error;
  return ok;
}

int run(const std::string& file) {
  std::string source;
  if (!read_source(file, source)) {
    std::cerr << "vantrel: cannot read '" << file << "': " << std::strerror(errno) << "\n";
    return kUsageError;
  }
  std::string reason;
  const std::string library = library_path();
  if (vantrel::posix::failed(vantrel::posix::register_server(library, &reason))) {
    std::cerr << "vantrel: cannot load the component library " << library << ": " << reason << "\n";
    return kLibraryError;
  }
  const vantrel::host::PageResult result =
      vantrel::host::run_page(source, file == "-" ? "<stdin>" : file);
  vantrel::posix::free_unused_libraries();
  std::fwrite(result.page.data(), 1, result.page.size(), stdout);
  std::fflush(stdout);
  std::fputs(result.diagnostics.c_str(), stderr);
  return result.exit_status;
}

}  // namespace

// The command's entry point, called by the launcher (host/launcher.cpp).
extern "C" __attribute__((visibility("default"))) int vantrel_command_main(int argc, char** argv) {
  const std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kHelp;
    return 0;
  }
  if (command == "compat-script") {
    if (argc > 2) {
      std::cerr << "vantrel compat-script: takes no arguments\n\n" << kUsage;
      return kUsageError;
    }
    const std::string_view script = vantrel::client::compat_script();
    if (std::fwrite(script.data(), 1, script.size(), stdout) != script.size() ||
        std::fflush(stdout) != 0) {
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
  const std::string_view operand = argc > 2 ? argv[2] : "";
  if (operand == "--help" || operand == "-h") {
    std::cout << kRunHelp;
    return 0;
  }
  if (argc != 3 || operand.empty() || (operand.size() > 1 && operand[0] == '-')) {
    std::cerr << (argc < 3 ? "vantrel run: name a page script, or - for standard input\n\n"
                           : "vantrel run: expected one page script\n\n")
              << kUsage;
    return kUsageError;
  }
  return run(argv[2]);
}
