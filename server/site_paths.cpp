#include "server/site_paths.h"

#include <array>
#include <system_error>

#include "frame/text.h"
#include "host/page_source.h"
#include "server/form_data.h"

namespace vantrel::server {

namespace fs = std::filesystem;

namespace {

constexpr std::array<std::string_view, 3> kDirectoryPages = {"default.asp", "index.asp",
                                                             "index.html"};

bool is_hidden_name(std::string_view name) { return !name.empty() && name[0] == '.'; }

bool is_include_name(std::string_view name) {
  return name.size() >= 4 && equals_ignoring_case(name.substr(name.size() - 4), ".inc");
}

// Whether any name along `relative` must stay unseen.
bool has_hidden_part(const fs::path& relative) {
  for (const fs::path& part : relative) {
    if (is_hidden_name(part.native())) return true;
  }
  return is_include_name(relative.filename().native());
}

SiteTarget kind(SiteTarget::Kind k) {
  SiteTarget target;
  target.kind = k;
  return target;
}

// A file of the site by its decoded path, checked after following links.
SiteTarget file_target(const fs::path& root, const fs::path& candidate, std::string url_path) {
  std::error_code ec;
  const fs::path real = fs::canonical(candidate, ec);
  if (ec || !host::is_inside(real, root) || has_hidden_part(real.lexically_relative(root)) ||
      !fs::is_regular_file(real, ec)) {
    return kind(SiteTarget::Kind::NotFound);
  }
  SiteTarget target;
  target.kind =
      host::is_server_page(real.native()) ? SiteTarget::Kind::Page : SiteTarget::Kind::File;
  target.file = real;
  target.url_path = std::move(url_path);
  return target;
}

}  // namespace

SiteTarget resolve_site_path(const fs::path& root, std::string_view raw_path) {
  if (raw_path.empty() || raw_path[0] != '/' || raw_path.find('\\') != std::string_view::npos) {
    return kind(SiteTarget::Kind::BadRequest);
  }
  std::string decoded;
  if (!percent_decode(raw_path, false, decoded)) return kind(SiteTarget::Kind::BadRequest);
  // An escape may not hide a dot, a separator or a control byte. The path
  // and its decoding are walked side by side: each %XX is one decoded byte,
  // every other character itself.
  for (std::size_t raw = 0, at = 0; raw < raw_path.size(); ++at) {
    if (raw_path[raw] != '%') {
      ++raw;
      continue;
    }
    raw += 3;
    const auto c = static_cast<unsigned char>(decoded[at]);
    if (c == '.' || c == '/' || c == '\\' || c < 0x20 || c == 0x7f) {
      return kind(SiteTarget::Kind::BadRequest);
    }
  }
  fs::path relative;
  std::size_t at = 1;
  while (at <= decoded.size()) {
    const std::size_t slash = std::min(decoded.find('/', at), decoded.size());
    const std::string_view part = std::string_view(decoded).substr(at, slash - at);
    at = slash + 1;
    if (part.empty()) continue;
    if (part == "." || part == "..") return kind(SiteTarget::Kind::BadRequest);
    if (is_hidden_name(part)) return kind(SiteTarget::Kind::NotFound);
    relative /= part;
  }
  if (!relative.empty() && is_include_name(relative.filename().native())) {
    return kind(SiteTarget::Kind::NotFound);
  }
  const fs::path candidate = root / relative;
  std::error_code ec;
  if (!fs::is_directory(candidate, ec)) return file_target(root, candidate, decoded);

  const fs::path real = fs::canonical(candidate, ec);
  if (ec || (real != root &&
             (!host::is_inside(real, root) || has_hidden_part(real.lexically_relative(root))))) {
    return kind(SiteTarget::Kind::NotFound);
  }
  if (decoded.back() != '/') {
    SiteTarget target = kind(SiteTarget::Kind::Redirect);
    target.location = std::string(raw_path) + "/";
    return target;
  }
  for (const std::string_view page : kDirectoryPages) {
    if (!fs::exists(candidate / page, ec)) continue;
    return file_target(root, candidate / page, decoded + std::string(page));
  }
  return kind(SiteTarget::Kind::NotFound);
}

}  // namespace vantrel::server
