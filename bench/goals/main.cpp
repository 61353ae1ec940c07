// vantrel_goals: the performance goals measured side by side in one run, and
// printed as a table of figures and ratios, each goal marked met or not met.
// scripts/bench builds the Release build and runs it.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench/goals/measure.h"
#include "bench/goals/table.h"
#include "platform/posix/runtime.h"

namespace vantrel::goals {

std::string format(const char* pattern, ...) {
  char buffer[256];
  va_list args;
  va_start(args, pattern);
  std::vsnprintf(buffer, sizeof buffer, pattern, args);
  va_end(args);
  return buffer;
}

namespace {

constexpr const char* kUsage =
    "usage: vantrel_goals [--rounds N] [--all] [--only PART] --pages DIR --peers render.py\n"
    "  --rounds N  repeat every comparison N times and keep the median (default 21)\n"
    "  --all       list every row, not only the goals missed and one line per section\n"
    "  --only PART measure one part only: outputs, binding or host\n";

void print(const Table& table, bool all) {
  std::string section;
  int met = 0, goals = 0;
  const auto close_section = [&] {
    if (!section.empty())
      std::printf("  -- %s: %d of %d goals met\n\n", section.c_str(), met, goals);
  };
  for (const Row& row : table) {
    if (row.section != section) {
      close_section();
      section = row.section;
      met = goals = 0;
      std::printf("%s\n", section.c_str());
    }
    ++goals;
    met += row.met ? 1 : 0;
    if (all || !row.met || row.section.rfind("Late binding", 0) != 0) {
      std::printf("  %-52s %-64s %-22s %s\n", row.what.c_str(), row.figure.c_str(),
                  row.goal.c_str(), row.met ? "met" : "NOT MET");
    }
  }
  close_section();
}

}  // namespace
}  // namespace vantrel::goals

int main(int argc, char** argv) {
  using namespace vantrel::goals;
  Settings settings;
  bool all = false;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    const auto value = [&] { return i + 1 < argc ? argv[++i] : ""; };
    if (std::strcmp(argv[i], "--rounds") == 0) {
      settings.rounds = std::atoi(value());
    } else if (std::strcmp(argv[i], "--pages") == 0) {
      settings.pages_dir = value();
    } else if (std::strcmp(argv[i], "--peers") == 0) {
      settings.peers_script = value();
    } else if (std::strcmp(argv[i], "--only") == 0) {
      only = value();
      if (only != "outputs" && only != "binding" && only != "host") {
        std::fputs(kUsage, stderr);
        return 2;
      }
    } else if (std::strcmp(argv[i], "--all") == 0) {
      all = true;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (settings.rounds < 1 || settings.pages_dir.empty() || settings.peers_script.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string error;
  if (vantrel::posix::failed(vantrel::posix::register_server(VANTREL_LIBRARY_PATH, &error))) {
    std::fprintf(stderr, "vantrel_goals: cannot register %s: %s\n", VANTREL_LIBRARY_PATH,
                 error.c_str());
    return 1;
  }
  const OneProcessor pinned;
  warm_up();
  Table table;
  if (only.empty() || only == "outputs") add_output_rows(settings, table);
  if (only.empty() || only == "binding") add_binding_rows(settings, table);
  if (only.empty() || only == "host") add_page_host_rows(settings, table);
  print(table, all);
  int missed = 0;
  for (const Row& row : table) missed += row.met ? 0 : 1;
  std::printf("%s: %d of %zu goals met\n", missed == 0 ? "ALL MET" : "NOT ALL MET",
              static_cast<int>(table.size()) - missed, table.size());
  return missed == 0 ? 0 : 3;
}
