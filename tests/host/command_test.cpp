// The vantrel command as a user runs it: exit status, standard output and
// standard error.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/text_files.h"

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs `vantrel ARGS` with `input` on standard input.
Outcome vantrel(const std::string& args, const std::string& input = "") {
  // Tests run in parallel processes: each call has files of its own.
  static int calls = 0;
  const std::string stem =
      ::testing::TempDir() + "/vantrel_" + std::to_string(getpid()) + "_" + std::to_string(++calls);
  const std::string in = stem + ".in", out = stem + ".out", err = stem + ".err";
  std::ofstream(in, std::ios::binary) << input;
  const std::string command = std::string("'") + VANTREL_COMMAND_PATH + "' " + args + " <'" + in +
                              "' >'" + out + "' 2>'" + err + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
}

TEST(Command, RunsAPageFromStandardInputOrAFile) {
  const std::string page = "Response.Write('a\\r\\nb');";
  const Outcome from_stdin = vantrel("run -", page);
  EXPECT_EQ(from_stdin.status, 0);
  EXPECT_EQ(from_stdin.out, "a\r\nb");
  EXPECT_EQ(from_stdin.err, "");

  const std::string file = ::testing::TempDir() + "/page_" + std::to_string(getpid()) + ".js";
  std::ofstream(file, std::ios::binary) << page;
  const Outcome from_file = vantrel("run '" + file + "'");
  EXPECT_EQ(from_file.status, 0);
  EXPECT_EQ(from_file.out, "a\r\nb");
}

// Each example page, as `scripts/run-example NAME` prints it.
TEST(Command, RunsAServerPageWithItsIncludes) {
  const std::string dir = ::testing::TempDir() + "/pages_" + std::to_string(getpid());
  mkdir(dir.c_str(), 0700);
  std::ofstream(dir + "/page.asp", std::ios::binary)
      << "<%@ LANGUAGE=\"JScript\" %><p>\r\n<!-- #include file=\"part.inc\" -->"
         "<% Response.End() %>not written";
  std::ofstream(dir + "/part.inc", std::ios::binary) << "<%= 6 * 7 %>\n<% if (false) { %>x<% } %>";
  const Outcome ran = vantrel("run '" + dir + "/page.asp'");
  EXPECT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.out, "<p>\r\n42\n");

  std::ofstream(dir + "/bad.asp", std::ios::binary) << "<%@ LANGUAGE=VBScript %>";
  const Outcome refused = vantrel("run '" + dir + "/bad.asp'");
  EXPECT_EQ(refused.status, 2);
  EXPECT_NE(refused.err.find("bad.asp:1: the page language 'VBScript' is not supported"),
            std::string::npos)
      << refused.err;
}

TEST(Command, EveryExamplePrintsItsPage) {
  for (const std::string name :
       {"autocomplete", "calendar", "popupmenu", "progressbar", "showcase", "tabs", "tree"}) {
    SCOPED_TRACE(name);
    const Outcome outcome =
        vantrel("run '" + std::string(VANTREL_EXAMPLES_DIR) + "/" + name + ".js'");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "");
    EXPECT_EQ(outcome.out, vantrel::testing::golden(name + "_page.html"));
  }
}

TEST(Command, CompatScriptPrintsTheShippedFileByteForByte) {
  const Outcome printed = vantrel("compat-script");
  EXPECT_EQ(printed.status, 0);
  EXPECT_EQ(printed.err, "");
  EXPECT_FALSE(printed.out.empty());
  EXPECT_EQ(printed.out, slurp(VANTREL_COMPAT_SCRIPT_PATH));

  // run --compat-script puts the tag first, after a leading document type.
  const std::string tag = "<script src=\"vantrel-compat.js\"></script>\n";
  const struct {
    const char* script;
    std::string expected;
  } pages[] = {
      {"Response.Write('<html><body>x')", tag + "<html><body>x"},
      {"Response.Write('<!DOCTYPE html>\\r\\n<p>')", "<!DOCTYPE html>\r\n" + tag + "<p>"},
      {"", tag},
  };
  for (const auto& page : pages) {
    const Outcome run = vantrel("run --compat-script -", page.script);
    EXPECT_EQ(run.status, 0) << page.script;
    EXPECT_EQ(run.out, page.expected) << page.script;
  }
}

TEST(Command, ErrorsGoToStandardErrorWithTheirExitStatus) {
  const Outcome automation =
      vantrel("run -", "Response.Write('kept'); Server.CreateObject('Vantrel.AutoComplete').X();");
  EXPECT_EQ(automation.status, 1);
  EXPECT_EQ(automation.out, "kept");
  EXPECT_EQ(automation.err,
            "Vantrel.AutoComplete: error 438: Object doesn't support this property or method\n");

  const Outcome syntax = vantrel("run -", "\n\nvar = ;");
  EXPECT_EQ(syntax.status, 2);
  EXPECT_TRUE(syntax.err.starts_with("<stdin>:3: SyntaxError: ")) << syntax.err;

  const Outcome directory = vantrel("run /");
  EXPECT_EQ(directory.status, 2);
  EXPECT_EQ(directory.err, "vantrel: cannot read '/': Is a directory\n");

  const Outcome missing = vantrel("run /nonexistent/page.js");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err,
            "vantrel: cannot read '/nonexistent/page.js': No such file or directory\n");
}

TEST(Command, HelpAndUsage) {
  const Outcome help = vantrel("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(
      help.out.find(
          "Usage: vantrel run [--timeout SECONDS] [--memory-limit SIZE] [--compat-script] FILE|-"),
      std::string::npos);
  const Outcome run_help = vantrel("run --help");
  EXPECT_EQ(run_help.status, 0);
  for (const char* topic :
       {"Server.CreateObject(progId)", "Response.Write(value)", "SOURCE: error NUMBER: DESCRIPTION",
        "Exit status", "--timeout SECONDS", "--memory-limit SIZE", "past its time limit"}) {
    EXPECT_NE(run_help.out.find(topic), std::string::npos) << topic;
  }
  EXPECT_NE(help.out.find("compat-script"), std::string::npos);
  const Outcome compat_help = vantrel("compat-script --help");
  EXPECT_EQ(compat_help.status, 0);
  EXPECT_NE(compat_help.out.find("before the first component output"), std::string::npos);
  for (const char* args :
       {"", "frobnicate", "run", "run a b", "run --verbose", "compat-script extra"}) {
    const Outcome usage = vantrel(args);
    EXPECT_EQ(usage.status, 2) << args;
    EXPECT_NE(usage.err.find("Usage: vantrel run [--timeout SECONDS] [--memory-limit SIZE] "
                             "[--compat-script] FILE|-"),
              std::string::npos)
        << args;
    EXPECT_EQ(usage.out, "") << args;
  }
  EXPECT_NE(vantrel("frobnicate").err.find("unknown command 'frobnicate'"), std::string::npos);
}

TEST(Command, LimitsAndWriteFailures) {
  const Outcome endless = vantrel("run --timeout 0.2 -", "Response.Write('kept'); for (;;) {}");
  EXPECT_EQ(endless.status, 4);
  EXPECT_EQ(endless.out, "kept");
  EXPECT_EQ(endless.err,
            "<stdin>: the page ran longer than its time limit of 0.2 s and was stopped\n");
  const Outcome greedy = vantrel("run --memory-limit=8m -", "var s = 'x'; for (;;) s += s;");
  EXPECT_EQ(greedy.status, 5);
  EXPECT_EQ(greedy.err,
            "<stdin>: the page needed more than its memory limit of 8 MiB and was stopped\n");
  const Outcome endless_file = vantrel("run /dev/zero");
  EXPECT_EQ(endless_file.status, 2);
  EXPECT_EQ(endless_file.err, "/dev/zero: the page script is larger than 16 MiB\n");
  // A server page, and any file it includes, is held to the same size.
  const std::string pages = ::testing::TempDir() + "/large_pages_" + std::to_string(getpid());
  std::filesystem::create_directories(pages);
  std::ofstream(pages + "/large.inc") << std::string((16 << 20) + 1, 'x');
  std::ofstream(pages + "/page.asp") << "a <!-- #include file=\"large.inc\" --> b";
  const Outcome large_include = vantrel("run '" + pages + "/page.asp'");
  EXPECT_EQ(large_include.status, 2);
  EXPECT_EQ(large_include.err,
            "vantrel: " + pages + "/page.asp:1: 'large.inc' is larger than 16 MiB\n");
  std::filesystem::remove_all(pages);
  // Sizes read the same for both commands; a server refuses a zero limit.
  for (const char* args :
       {"run --timeout -1 -", "run --timeout x -", "run --memory-limit 5X -",
        "run --memory-limit -", "run --timeout", "run --memory-limit 2048G -",
        "serve --memory-limit 0 .", "serve --max-body 2048G .", "serve --max-body 1KB ."}) {
    EXPECT_EQ(vantrel(args).status, 2) << args;
  }

  // A page that cannot be written out is a failure, not a success: disk
  // full, and a reader that has gone.
  const std::string stem = ::testing::TempDir() + "/unwritable_" + std::to_string(getpid());
  std::ofstream(stem + ".js") << "Response.Write(new Array(1 << 20).join('x'));";
  for (const char* redirect : {" >/dev/full", " | true"}) {
    SCOPED_TRACE(redirect);
    const std::string command = std::string("{ '") + VANTREL_COMMAND_PATH + "' run '" + stem +
                                ".js' 2>'" + stem + ".err'; echo $? >'" + stem + ".status'; }" +
                                redirect;
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(slurp(stem + ".status"), "1\n");
    EXPECT_TRUE(
        slurp(stem + ".err").starts_with("vantrel: cannot write the page to standard output: "));
  }
}

}  // namespace
