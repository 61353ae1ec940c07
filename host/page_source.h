#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Server pages: HTML with script islands in the page-script dialect,
//   <% statements %>  <%= expression %>  <%@ LANGUAGE="JScript" %>
// and include directives, <!-- #include file="..." --> (relative to the
// including file) and <!-- #include virtual="..." --> (relative to the site
// root). Includes are expanded first, as text, wherever they stand; an
// include never reaches outside the site, and a file that includes itself,
// directly or through others, is refused.
//
// A page becomes one script: the islands as written, each expression as
// Response.Write(expression), and each stretch of literal HTML as
// Response.WriteBlock(n), which writes block n of the page byte for byte (the
// HTML never passes through a script string).
namespace vantrel::host {

struct SourceLine {
  std::uint32_t file = 0;  // index into PageProgram::files
  long line = 0;
};

struct PageProgram {
  std::string script;
  std::vector<std::string> blocks;  // the literal HTML, in order
  std::vector<std::string> files;   // the page first, then its includes, as named for people
  std::vector<SourceLine> lines;    // where script line n comes from: lines[n - 1]
  std::vector<std::filesystem::path> sources;  // the files read, canonical

  // "FILE:LINE" of a script line.
  std::string where(long script_line) const;
};

// Reads a whole page file, standard input for "-", up to one byte past
// kMaxPageSourceBytes (a longer file is refused by whoever reads it: the
// extra byte shows it is too long); false, with errno set, when it cannot be
// read, a directory included.
bool read_page_file(const std::string& file, std::string& text);

// Whether `path` names a server page (extension .asp in any case).
bool is_server_page(std::string_view path);

// Reads the page `page` inside the site `site_root` with its includes and
// turns it into a program. `page_name` is how messages name the page. False,
// with `error` saying "FILE:LINE: what is wrong", when the page cannot be
// read or is malformed, an include cannot be used, or the page asks for a
// language other than JScript.
bool load_page(const std::filesystem::path& page, const std::filesystem::path& site_root,
               const std::string& page_name, PageProgram& program, std::string& error);

// Whether `path` (made canonical) lies inside the canonical directory `root`.
bool is_inside(const std::filesystem::path& path, const std::filesystem::path& root);

}  // namespace vantrel::host
