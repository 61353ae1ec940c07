// The page host measured from page scripts, through its public entry point
// run_page: single operations (each a loop in a page, less the same loop
// empty), and the three benchmark pages beside Jinja2 rendering the same
// bytes (bench/peers), timed round by round in turn.
#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/goals/measure.h"
#include "bench/goals/table.h"
#include "host/page_host.h"

namespace vantrel::goals {
namespace {

// Thread CPU time of one run of the page, in nanoseconds; the page must run
// through. Each page that is compared has a name of its own, so that the
// page host keeps each one compiled, as a server keeps its pages, and no run
// recompiles what the other replaced.
double page_ns(const std::string& source, std::string_view name, bool* failed) {
  const double start = thread_ns();
  const host::PageResult result = host::run_page(source, name);
  const double elapsed = thread_ns() - start;
  if (result.exit_status != host::kPageWritten) {
    std::fprintf(stderr, "bench: a page failed: %s\n", result.diagnostics.c_str());
    *failed = true;
  }
  return elapsed;
}

struct Operation {
  const char* what;
  const char* body;  // one operation, inside the loop
  double goal_ns;
};

constexpr int kLoops = 2000;
constexpr std::string_view kPageFailed = "not measured (a page failed: see the messages above)";
constexpr const char* kSetUp =
    "var tabs = Server.CreateObject(\"Vantrel.Tabs\");\n"
    "tabs.TabWidth = 90;\n"
    "var width = 0;\n"
    "var text = new Array(7 * 1024 + 1).join(\"x\");\n";

constexpr Operation kOperations[] = {
    {"member call by name (tabs.MoveNextLayerColor())", "tabs.MoveNextLayerColor();", 600},
    {"property get (width = tabs.TabWidth)", "width = tabs.TabWidth;", 400},
    {"property set (tabs.TabWidth = 90)", "tabs.TabWidth = 90;", 400},
    {"Server.CreateObject(\"Vantrel.Tabs\")", "Server.CreateObject(\"Vantrel.Tabs\");", 1500},
    {"Response.Write of 7 KB", "Response.Write(text);", 2000},
};

std::string loop_page(const char* body) {
  return std::string(kSetUp) + "for (var i = 0; i < " + std::to_string(kLoops) + "; i++) {\n" +
         body + "\n}\n";
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// One round of the peer: microseconds per render of each page.
std::map<std::string, double> peer_round(const Settings& settings, int renders) {
  std::map<std::string, double> times;
  const std::string command =
      settings.python + " " + settings.peers_script + " --time " + std::to_string(renders);
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return times;
  char name[64];
  double us = 0;
  while (std::fscanf(pipe, "%63s %lf", name, &us) == 2) times[name] = us;
  pclose(pipe);
  return times;
}

}  // namespace

void add_page_host_rows(const Settings& settings, Table& table) {
  // The C library raises its thresholds for giving memory back to the
  // system after the first large block is freed, so a long-running process
  // keeps the memory of its largest pages. Fixed here at the values it
  // settles at, so that the figures do not depend on what this process ran
  // before: otherwise the 14 MB that the Response.Write loop writes are
  // given back after every run and faulted in again (6 us a write instead of
  // 1 us, depending on whether the other parts ran first).
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
  bool failed = false;
  const std::string empty = loop_page("");
  for (const Operation& op : kOperations) {
    const std::string page = loop_page(op.body);
    std::vector<double> per_op;
    for (int round = 0; round < settings.rounds; ++round) {
      const double base = page_ns(empty, "empty.js", &failed);
      const double with = page_ns(page, "operation.js", &failed);
      per_op.push_back((with - base) / kLoops);
    }
    const double ns = median(per_op);
    table.push_back({"Page host", op.what,
                     failed ? std::string(kPageFailed) : format("%.2f us", ns / 1000),
                     format("<= %.1f us", op.goal_ns / 1000), !failed && ns <= op.goal_ns});
  }

  struct Page {
    std::string name;
    int renders;
    std::string once, many;
    std::vector<double> host_us, peer_us, speed;  // speed: each round's peer time over host time
  };
  std::vector<Page> pages;
  for (const auto& [name, renders] : {std::pair{"calendar", 100}, {"tabs", 100}, {"tree", 30}}) {
    const std::string script = read_file(settings.pages_dir + "/" + name + ".js");
    pages.push_back(
        {name,
         renders,
         script + "render();\n",
         script + "for (var n = 0; n < " + std::to_string(renders + 1) + "; n++) render();\n",
         {},
         {},
         {}});
  }
  for (int round = 0; round < settings.rounds; ++round) {
    for (Page& page : pages) {
      const double once = page_ns(page.once, page.name + ".once.js", &failed);
      const double many = page_ns(page.many, page.name + ".many.js", &failed);
      page.host_us.push_back((many - once) / page.renders / 1000);
    }
    for (auto& [name, us] : peer_round(settings, 200)) {
      for (Page& page : pages) {
        if (page.name != name) continue;
        page.peer_us.push_back(us);
        if (page.host_us.back() > 0) page.speed.push_back(us / page.host_us.back());
      }
    }
  }
  for (const Page& page : pages) {
    const double host = median(page.host_us), peer = median(page.peer_us);
    const double speed = median(page.speed);
    const bool measured = !failed && !page.speed.empty();
    table.push_back(
        {"Pages beside Jinja2", page.name + " page, per render",
         measured ? format("page host %.1f us, Jinja2 %.1f us: %.2fx as fast", host, peer, speed)
                  : std::string("not measured (see the messages above)"),
         "faster than Jinja2 (aim: 2x)", measured && speed > 1});
  }
}

}  // namespace vantrel::goals
