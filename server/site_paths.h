#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Maps a request path onto a file of the site. Never served: paths with
// "." or ".." segments, encoded dots, slashes or backslashes, a NUL or any
// control byte, files or folders whose name starts with a dot,
// include files (.inc), and anything a symbolic link leads to outside the
// site. A folder is served by its first of default.asp, index.asp and
// index.html; a folder path without its closing slash is redirected to it.
namespace vantrel::server {

struct SiteTarget {
  enum class Kind { File, Page, Redirect, NotFound, BadRequest };
  Kind kind = Kind::NotFound;
  std::filesystem::path file;  // the file, canonical
  std::string url_path;        // the decoded path that names it in the site
  std::string location;        // where a Redirect points
};

// `root` must be canonical.
SiteTarget resolve_site_path(const std::filesystem::path& root, std::string_view raw_path);

}  // namespace vantrel::server
