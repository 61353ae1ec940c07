#include "host/page_source.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <system_error>

#include "frame/text.h"
#include "host/page_host.h"

namespace vantrel::host {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxIncludeDepth = 32;
constexpr std::string_view kIslandOpen = "<%";
constexpr std::string_view kIslandClose = "%>";

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A small cursor over directive text.
struct Cursor {
  std::string_view text;
  std::size_t at = 0;

  void skip_space() {
    while (at < text.size() && is_space(text[at])) ++at;
  }
  bool take(std::string_view word) {
    if (!equals_ignoring_case(text.substr(at, word.size()), word)) return false;
    at += word.size();
    return true;
  }
  std::string_view word() {
    const std::size_t start = at;
    while (at < text.size() && (std::isalnum(static_cast<unsigned char>(text[at])) != 0 ||
                                text[at] == '_' || text[at] == '#')) {
      ++at;
    }
    return text.substr(start, at - start);
  }
  // A quoted value, or a bare one up to white space; nullopt when missing.
  std::optional<std::string_view> value() {
    if (at >= text.size()) return std::nullopt;
    const char quote = text[at];
    if (quote == '"' || quote == '\'') {
      const std::size_t end = text.find(quote, at + 1);
      if (end == std::string_view::npos) return std::nullopt;
      const std::string_view v = text.substr(at + 1, end - at - 1);
      at = end + 1;
      return v;
    }
    const std::size_t start = at;
    while (at < text.size() && !is_space(text[at]) && text[at] != '%' && text[at] != '-') ++at;
    if (at == start) return std::nullopt;
    return text.substr(start, at - start);
  }
};

// The end of a parenthesised argument list that starts at `open`, skipping
// strings; npos when it does not close.
std::size_t closing_parenthesis(std::string_view code, std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '"' || c == '\'') {
      for (++i; i < code.size() && code[i] != c; ++i) {
        if (code[i] == '\\') ++i;
      }
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

// Pages set cookies the classic way, `Response.Cookies("name") = value`,
// which is no valid assignment in the script language; it becomes
// `Response.Cookies("name").Value = value`. Strings and comments are left
// alone; nothing else changes, so line numbers stay.
std::string assignable_cookies(std::string_view code) {
  constexpr std::string_view kCookies = "Response.Cookies";
  std::string out;
  out.reserve(code.size());
  for (std::size_t i = 0; i < code.size();) {
    const char c = code[i];
    std::size_t end = i + 1;
    if (c == '"' || c == '\'') {
      while (end < code.size() && code[end] != c && code[end] != '\n') {
        end += code[end] == '\\' ? 2 : 1;
      }
      end = std::min(end + 1, code.size());
    } else if (code.substr(i, 2) == "//") {
      end = std::min(code.find('\n', i), code.size());
    } else if (code.substr(i, 2) == "/*") {
      const std::size_t close = code.find("*/", i + 2);
      end = close == std::string_view::npos ? code.size() : close + 2;
    } else if (code.substr(i, kCookies.size()) == kCookies &&
               (i == 0 || (std::isalnum(static_cast<unsigned char>(code[i - 1])) == 0 &&
                           code[i - 1] != '_' && code[i - 1] != '$' && code[i - 1] != '.'))) {
      std::size_t open = i + kCookies.size();
      while (open < code.size() && is_space(code[open])) ++open;
      const std::size_t close =
          open < code.size() && code[open] == '(' ? closing_parenthesis(code, open) : open;
      std::size_t next = close + 1;
      while (next < code.size() && is_space(code[next])) ++next;
      if (close < code.size() && code[close] == ')' && next < code.size() && code[next] == '=' &&
          (next + 1 >= code.size() || code[next + 1] != '=')) {
        out.append(code.substr(i, close + 1 - i));
        out += ".Value";
        i = close + 1;
        continue;
      }
      end = i + kCookies.size();
    } else {
      // Plain code up to the next place where a string, a comment or the
      // cookie collection may start, in one piece.
      end = std::min(code.find_first_of("\"'/R", i + 1), code.size());
    }
    out.append(code.substr(i, end - i));
    i = end;
  }
  return out;
}

// Expands include directives into one text, remembering where each of its
// lines comes from.
class Expander {
 public:
  Expander(fs::path root, PageProgram& program) : root_(std::move(root)), program_(program) {}

  std::string text;
  std::vector<SourceLine> lines;  // where text line n comes from: lines[n - 1]
  std::string error;

  bool expand(const fs::path& file, const std::string& name) {
    if (std::find(stack_.begin(), stack_.end(), file) != stack_.end()) {
      return fail("the page includes itself through '" + name + "'");
    }
    if (stack_.size() >= kMaxIncludeDepth) return fail("includes nest too deep at '" + name + "'");
    std::string source;
    if (!read_page_file(file.string(), source)) return fail("cannot read '" + name + "'");
    static_assert(kMaxPageSourceBytes == 16u << 20, "the message below names the limit");
    if (source.size() > kMaxPageSourceBytes) return fail("'" + name + "' is larger than 16 MiB");

    const auto index = static_cast<std::uint32_t>(program_.files.size());
    program_.files.push_back(name);
    program_.sources.push_back(file);
    stack_.push_back(file);
    std::string_view rest = source;
    long line = 1;
    while (!rest.empty()) {
      const std::size_t open = rest.find("<!--");
      if (open == std::string_view::npos) break;
      append(rest.substr(0, open), index, line);
      rest.remove_prefix(open);
      Cursor cursor{rest, 4};
      cursor.skip_space();
      if (!cursor.take("#include")) {
        append(rest.substr(0, 4), index, line);
        rest.remove_prefix(4);
        continue;
      }
      where_ = {index, line};
      cursor.skip_space();
      const std::string_view kind = cursor.word();
      cursor.skip_space();
      const bool is_file = equals_ignoring_case(kind, "file");
      if ((!is_file && !equals_ignoring_case(kind, "virtual")) || !cursor.take("=")) {
        return fail("an #include needs file=\"...\" or virtual=\"...\"");
      }
      cursor.skip_space();
      const std::optional<std::string_view> target = cursor.value();
      cursor.skip_space();
      if (!target || target->empty() || !cursor.take("-->")) {
        return fail("an #include directive must read <!-- #include file=\"NAME\" -->");
      }
      if (!include(*target, is_file, file)) return false;
      const std::string_view directive = rest.substr(0, cursor.at);
      line += static_cast<long>(std::count(directive.begin(), directive.end(), '\n'));
      rest.remove_prefix(cursor.at);
    }
    append(rest, index, line);
    stack_.pop_back();
    return true;
  }

 private:
  bool include(std::string_view target, bool relative_to_file, const fs::path& from) {
    if (target.find('\0') != std::string_view::npos) return fail("an include name holds a NUL");
    const fs::path named(target);
    fs::path candidate;
    if (relative_to_file) {
      if (named.is_absolute()) return fail("#include file= takes a relative name");
      candidate = from.parent_path() / named;
    } else {
      candidate = root_ / named.relative_path();
    }
    std::error_code ec;
    const fs::path resolved = fs::canonical(candidate, ec);
    if (ec) return fail("cannot read the include '" + std::string(target) + "'");
    if (!is_inside(resolved, root_)) {
      return fail("the include '" + std::string(target) + "' lies outside the site");
    }
    if (!fs::is_regular_file(resolved, ec)) {
      return fail("the include '" + std::string(target) + "' is not a file");
    }
    const SourceLine directive_at = where_;
    if (!expand(resolved, resolved.lexically_relative(root_).generic_string())) return false;
    where_ = directive_at;
    return true;
  }

  void append(std::string_view piece, std::uint32_t file, long& line) {
    for (const char c : piece) {
      if (text.empty() || text.back() == '\n') lines.push_back({file, line});
      text += c;
      if (c == '\n') ++line;
    }
  }

  bool fail(std::string message) {
    if (error.empty()) {
      error = (where_.line > 0 && where_.file < program_.files.size()
                   ? program_.files[where_.file] + ":" + std::to_string(where_.line) + ": "
                   : std::string()) +
              std::move(message);
    }
    return false;
  }

  fs::path root_;
  PageProgram& program_;
  std::vector<fs::path> stack_;
  SourceLine where_;
};

// Turns the expanded text into the page's script.
class IslandParser {
 public:
  IslandParser(const Expander& source, PageProgram& program) : source_(source), program_(program) {}

  bool parse(std::string& error) {
    std::string_view rest = source_.text;
    while (!rest.empty()) {
      const std::size_t open = rest.find(kIslandOpen);
      literal(rest.substr(0, std::min(open, rest.size())));
      if (open == std::string_view::npos) break;
      rest.remove_prefix(open + kIslandOpen.size());
      const std::size_t close = rest.find(kIslandClose);
      if (close == std::string_view::npos) {
        error = where() + ": '<%' without its closing '%>'";
        return false;
      }
      const std::string_view island = rest.substr(0, close);
      rest.remove_prefix(close + kIslandClose.size());
      if (!island.empty() && island[0] == '@') {
        if (!directive(island.substr(1), error)) return false;
        copy_lines(island);
      } else if (!island.empty() && island[0] == '=') {
        put("Response.Write(");
        copy(island.substr(1));
        put("\n);\n");
      } else {
        copy(assignable_cookies(island));
        put("\n");
      }
    }
    return true;
  }

 private:
  void literal(std::string_view html) {
    if (html.empty()) return;
    put("Response.WriteBlock(" + std::to_string(program_.blocks.size()) + ");\n");
    program_.blocks.emplace_back(html);
    copy_lines(html);
  }

  bool directive(std::string_view text, std::string& error) {
    Cursor cursor{text};
    for (;;) {
      cursor.skip_space();
      const std::string_view name = cursor.word();
      if (name.empty()) break;
      cursor.skip_space();
      if (!cursor.take("=")) break;
      cursor.skip_space();
      const std::string_view value = cursor.value().value_or("");
      if (equals_ignoring_case(name, "language") && !equals_ignoring_case(value, "jscript") &&
          !equals_ignoring_case(value, "javascript") &&
          !equals_ignoring_case(value, "ecmascript")) {
        error = where() + ": the page language '" + std::string(value) +
                "' is not supported; pages are written in JScript";
        return false;
      }
    }
    cursor.skip_space();
    if (cursor.at != text.size()) {
      error = where() + ": a page directive reads <%@ LANGUAGE=\"JScript\" %>";
      return false;
    }
    return true;
  }

  // Appends generated script text; new script lines come from the current
  // source line.
  void put(std::string_view text) {
    for (const char c : text) {
      if (program_.script.empty() || program_.script.back() == '\n') {
        program_.lines.push_back(origin());
      }
      program_.script += c;
    }
  }

  // Appends script text taken from the source, following its lines.
  void copy(std::string_view text) {
    for (const char c : text) {
      put(std::string_view(&c, 1));
      if (c == '\n') ++line_;
    }
  }

  // Follows the source lines of text that is not copied.
  void copy_lines(std::string_view text) {
    line_ += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }

  SourceLine origin() const {
    return line_ < source_.lines.size()
               ? source_.lines[line_]
               : (source_.lines.empty() ? SourceLine{0, 1} : source_.lines.back());
  }
  std::string where() const {
    const SourceLine at = origin();
    return program_.files[at.file] + ":" + std::to_string(at.line);
  }

  const Expander& source_;
  PageProgram& program_;
  std::size_t line_ = 0;  // current line of the expanded text, from 0
};

}  // namespace

std::string PageProgram::where(long script_line) const {
  if (files.empty()) return "";
  if (script_line < 1 || lines.empty()) return files[0];
  const SourceLine at = lines[std::min(static_cast<std::size_t>(script_line), lines.size()) - 1];
  return files[at.file] + ":" + std::to_string(at.line);
}

bool is_server_page(std::string_view path) {
  return path.size() > 4 && equals_ignoring_case(path.substr(path.size() - 4), ".asp");
}

bool is_inside(const fs::path& path, const fs::path& root) {
  const std::string& p = path.native();
  const std::string& r = root.native();
  if (r == "/") return !p.empty() && p[0] == '/';
  return p.size() > r.size() && p.compare(0, r.size(), r) == 0 && p[r.size()] == '/';
}

bool read_page_file(const std::string& file, std::string& text) {
  std::FILE* in = file == "-" ? stdin : std::fopen(file.c_str(), "rb");
  if (in == nullptr) return false;
  char buffer[65536];
  while (text.size() <= kMaxPageSourceBytes) {
    const std::size_t want = std::min(sizeof buffer, kMaxPageSourceBytes + 1 - text.size());
    const std::size_t size = std::fread(buffer, 1, want, in);
    if (size == 0) break;
    text.append(buffer, size);
  }
  const bool ok = std::ferror(in) == 0;
  const int error = errno;
  if (in != stdin) std::fclose(in);
  errno = error;
  return ok;
}

bool load_page(const fs::path& page, const fs::path& site_root, const std::string& page_name,
               PageProgram& program, std::string& error) {
  program = PageProgram{};
  std::error_code ec;
  const fs::path root = fs::canonical(site_root, ec);
  const fs::path file = ec ? fs::path() : fs::canonical(page, ec);
  if (ec || !fs::is_regular_file(file, ec)) {
    error = "cannot read '" + page_name + "'";
    return false;
  }
  Expander expander(root, program);
  if (!expander.expand(file, page_name)) {
    error = expander.error;
    return false;
  }
  IslandParser parser(expander, program);
  return parser.parse(error);
}

}  // namespace vantrel::host
