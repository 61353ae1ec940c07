#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "frame/guid.h"
#include "frame/members.h"

// The library's identity and its creatable classes, as every platform layer
// records and exposes them.
namespace vantrel {

struct ClassDescriptor {
  std::string_view name;     // "Calendar"
  std::string_view prog_id;  // "Vantrel.Calendar"
  Guid clsid;
  std::string_view interface_name;  // "_Calendar", the default interface
  Guid iid;
  const ClassBinding* binding = nullptr;

  std::span<const Member> members() const { return binding->members; }
};

struct LibraryDescriptor {
  std::string_view name;  // also the type library's name
  Guid type_library;
  std::uint16_t major_version = 0;
  std::uint16_t minor_version = 0;
  std::uint32_t locale = 0;  // 0: locale neutral
  std::string_view threading_model;
  std::span<const ClassDescriptor> classes;

  // Programmatic identifiers compare without regard to case.
  const ClassDescriptor* find_class(std::string_view prog_id) const noexcept;
  const ClassDescriptor* find_class(const Guid& clsid) const noexcept;
};

}  // namespace vantrel
