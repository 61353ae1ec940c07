// The vantrel command as a user runs it: exit status, standard output and
// standard error.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

TEST(Command, TheAutoCompleteExamplePrintsItsPage) {
  const Outcome outcome =
      vantrel(std::string("run '") + VANTREL_EXAMPLES_DIR + "/autocomplete.js'");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, vantrel::testing::golden("autocomplete_page.html"));
}

TEST(Command, TheProgressBarExamplePrintsItsPage) {
  const Outcome outcome = vantrel(std::string("run '") + VANTREL_EXAMPLES_DIR + "/progressbar.js'");
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out, vantrel::testing::golden("progressbar_page.html"));
}

TEST(Command, TheCalendarExamplePrintsItsPage) {
  using vantrel::testing::golden;
  const Outcome outcome = vantrel(std::string("run '") + VANTREL_EXAMPLES_DIR + "/calendar.js'");
  EXPECT_EQ(outcome.out, golden("calendar_page.html"));
  // The popup calendar first, carrying the date script; then the embedded one.
  const std::size_t popup =
      outcome.out.find(golden("calendar_date_script.txt") + golden("calendar_popup_script.txt") +
                       "<input value=\"02/14/2003\" ");
  const std::size_t embedded =
      outcome.out.find(golden("calendar_embedded_script.txt") + "<DIV ID=\"cal1\">\r\n");
  EXPECT_NE(popup, std::string::npos);
  EXPECT_NE(embedded, std::string::npos);
  EXPECT_LT(popup, embedded);
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

  const Outcome missing = vantrel("run /nonexistent/page.js");
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err,
            "vantrel: cannot read '/nonexistent/page.js': No such file or directory\n");
}

TEST(Command, HelpAndUsage) {
  const Outcome help = vantrel("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: vantrel run FILE|-"), std::string::npos);
  const Outcome run_help = vantrel("run --help");
  EXPECT_EQ(run_help.status, 0);
  for (const char* topic : {"Server.CreateObject(progId)", "Response.Write(value)",
                            "SOURCE: error NUMBER: DESCRIPTION", "Exit status"}) {
    EXPECT_NE(run_help.out.find(topic), std::string::npos) << topic;
  }
  for (const char* args : {"", "frobnicate", "run", "run a b", "run --verbose"}) {
    const Outcome usage = vantrel(args);
    EXPECT_EQ(usage.status, 2) << args;
    EXPECT_NE(usage.err.find("Usage: vantrel run FILE|-"), std::string::npos) << args;
    EXPECT_EQ(usage.out, "") << args;
  }
  EXPECT_NE(vantrel("frobnicate").err.find("unknown command 'frobnicate'"), std::string::npos);
}

}  // namespace
