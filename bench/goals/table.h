#pragma once

#include <string>
#include <string_view>
#include <vector>

// The goal table: one row per figure, each with its goal and whether the
// run met it.
namespace vantrel::goals {

struct Row {
  std::string section;  // "Output methods", "Late binding", ...
  std::string what;     // "Tabs.WriteTab (first)"
  std::string figure;   // "212 ns, 1.31x alloc+copy (1.2 KB)"
  std::string goal;     // "<= 2x"
  bool met = false;
};

using Table = std::vector<Row>;

// Rounds: how many times each comparison is repeated (the median is kept).
struct Settings {
  int rounds = 21;
  std::string peers_script;  // bench/peers/render.py
  std::string pages_dir;     // bench/pages
  std::string python = "/usr/bin/python3";
};

void add_output_rows(const Settings& settings, Table& table);
void add_binding_rows(const Settings& settings, Table& table);
void add_page_host_rows(const Settings& settings, Table& table);

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vantrel::goals
