#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "frame/automation_error.h"
#include "frame/library.h"
#include "frame/members.h"
#include "frame/variant.h"

// Late binding: finding a member by name or dispatch id and calling it in one
// of its forms. Every platform surface calls objects through here.
namespace vantrel {

// The first member called `name`, case ignored, or nullptr. The class's
// index finds it in about one step.
const Member* find_named(const ClassDescriptor& cls, std::string_view name) noexcept;

// The dispatch id of the member called `name`, case ignored. A property's get
// and let forms share one id.
//
// Inline over find_named, which returns its answer in a register: an
// optional returned from a call is put together in memory in two stores and
// read back in one load, which the processor cannot forward, and that stall
// cost more than the look-up itself.
inline std::optional<DispId> find_dispatch_id(const ClassDescriptor& cls,
                                              std::string_view name) noexcept {
  const Member* member = find_named(cls, name);
  if (member == nullptr) return std::nullopt;
  return member->id;
}

// The member with this id and kind, or nullptr: one look at its slot.
inline const Member* find_member(const ClassDescriptor& cls, DispId id, MemberKind kind) noexcept {
  const MemberIndex& index = cls.binding->index;
  const std::uint8_t position = index.by_form[index.form_slot(id, kind)];
  if (position == 0) return nullptr;
  const Member& member = cls.binding->members[position - 1u];
  return member.id == id && member.kind == kind ? &member : nullptr;
}

// Whether a member with this id exists in the given kind.
bool has_form(const ClassDescriptor& cls, DispId id, MemberKind kind) noexcept;

namespace detail {
// Every call but the common one: a missing member (`member`, the one invoke
// found, is nullptr), a wrong number of arguments, left-out optional
// arguments.
Variant invoke_other(const ClassDescriptor& cls, void* object, const Member* member,
                     std::span<Variant* const> args);
}  // namespace detail

// Calls `member`, as find_member returns it, of an object of class `cls`.
// Raises 438 when it is null (the class has no such member in that form),
// 450 when the number of arguments does not fit. Arguments are converted to
// the declared types in order; omitted optional arguments arrive empty.
// Errors that carry no source get the class's programmatic identifier as
// their source.
//
// Inline: the common call (the member exists, every argument given) is one
// call through the table, with no call in between.
inline Variant invoke(const ClassDescriptor& cls, void* object, const Member* member,
                      std::span<Variant* const> args) {
  if (member == nullptr || args.size() != member->param_count) [[unlikely]] {
    return detail::invoke_other(cls, object, member, args);
  }
  try {
    return member->call(object, args);
  } catch (AutomationError& error) {
    error.set_source_if_empty(cls.prog_id);
    throw;
  }
}

// The same for member `id` in the form `kind`: one look at the index first.
// Reading a property that can only be written, for example, raises 438.
inline Variant invoke(const ClassDescriptor& cls, void* object, DispId id, MemberKind kind,
                      std::span<Variant* const> args) {
  return invoke(cls, object, find_member(cls, id, kind), args);
}

// The same, looking the member up by name first.
Variant invoke(const ClassDescriptor& cls, void* object, std::string_view name, MemberKind kind,
               std::span<Variant* const> args);

}  // namespace vantrel
