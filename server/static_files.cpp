#include "server/static_files.h"

#include <array>
#include <cstdio>
#include <utility>

#include "frame/text.h"
#include "server/form_data.h"

namespace vantrel::server {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 24> kTypes{{
    {"html", "text/html; charset=utf-8"},
    {"htm", "text/html; charset=utf-8"},
    {"css", "text/css; charset=utf-8"},
    {"js", "text/javascript; charset=utf-8"},
    {"mjs", "text/javascript; charset=utf-8"},
    {"json", "application/json"},
    {"txt", "text/plain; charset=utf-8"},
    {"xml", "application/xml"},
    {"svg", "image/svg+xml"},
    {"png", "image/png"},
    {"gif", "image/gif"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"ico", "image/x-icon"},
    {"webp", "image/webp"},
    {"bmp", "image/bmp"},
    {"woff", "font/woff"},
    {"woff2", "font/woff2"},
    {"ttf", "font/ttf"},
    {"pdf", "application/pdf"},
    {"zip", "application/zip"},
    {"wasm", "application/wasm"},
    {"csv", "text/csv; charset=utf-8"},
    {"map", "application/json"},
}};

constexpr std::array<std::string_view, 7> kDays = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int month_number(std::string_view name) {
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (kMonths[i] == name) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

std::string_view content_type_for(std::string_view file_name) {
  const std::size_t dot = file_name.rfind('.');
  const std::size_t slash = file_name.rfind('/');
  if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) {
    const std::string_view extension = file_name.substr(dot + 1);
    for (const auto& [known, type] : kTypes) {
      if (equals_ignoring_case(extension, known)) return type;
    }
  }
  return "application/octet-stream";
}

std::string http_date(std::time_t when) {
  std::tm tm{};
  gmtime_r(&when, &tm);
  char text[40];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT",
                kDays[static_cast<std::size_t>(tm.tm_wday % 7)].data(), tm.tm_mday,
                kMonths[static_cast<std::size_t>(tm.tm_mon % 12)].data(), tm.tm_year + 1900,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return text;
}

std::optional<std::time_t> parse_http_date(std::string_view text) {
  const std::string copy(text);
  std::tm tm{};
  char month[4] = {};
  int day = 0, year = 0, hour = 0, minute = 0, second = 0;
  int used = 0;
  // "Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT",
  // "Sun Nov  6 08:49:37 1994"
  const std::size_t comma = copy.find(',');
  const char* rest = copy.c_str() + (comma == std::string::npos ? 0 : comma + 1);
  if (std::sscanf(rest, " %2d %3s %4d %2d:%2d:%2d GMT%n", &day, month, &year, &hour, &minute,
                  &second, &used) == 6 &&
      used > 0) {
  } else if (std::sscanf(rest, " %2d-%3s-%2d %2d:%2d:%2d GMT%n", &day, month, &year, &hour, &minute,
                         &second, &used) == 6 &&
             used > 0) {
    year += year < 70 ? 2000 : 1900;
  } else if (comma == std::string::npos &&
             std::sscanf(copy.c_str(), "%*3s %3s %2d %2d:%2d:%2d %4d%n", month, &day, &hour,
                         &minute, &second, &year, &used) == 6 &&
             used > 0) {
  } else {
    return std::nullopt;
  }
  const int month_index = month_number(month);
  if (month_index < 0 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60 ||
      year < 1970 || year > 9999) {
    return std::nullopt;
  }
  tm.tm_year = year - 1900;
  tm.tm_mon = month_index;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  return timegm(&tm);
}

}  // namespace vantrel::server
