#include "frame/dispatch.h"

#include <array>

#include "frame/automation_error.h"
#include "frame/text.h"

namespace vantrel {

std::string_view kind_name(MemberKind kind) noexcept {
  switch (kind) {
    case MemberKind::Method:
      return "method";
    case MemberKind::PropertyGet:
      return "property get";
    case MemberKind::PropertyLet:
      return "property let";
  }
  return "?";
}

std::string_view type_name(ValueType type) noexcept {
  switch (type) {
    case ValueType::None:
      return "none";
    case ValueType::String:
      return "String";
    case ValueType::Integer:
      return "Integer";
    case ValueType::Boolean:
      return "Boolean";
    case ValueType::Variant:
      return "Variant";
  }
  return "?";
}

const ClassDescriptor* LibraryDescriptor::find_class(std::string_view prog_id) const noexcept {
  for (const ClassDescriptor& cls : classes) {
    if (equals_ignoring_case(cls.prog_id, prog_id)) return &cls;
  }
  return nullptr;
}

const ClassDescriptor* LibraryDescriptor::find_class(const Guid& clsid) const noexcept {
  for (const ClassDescriptor& cls : classes) {
    if (cls.clsid == clsid) return &cls;
  }
  return nullptr;
}

namespace {

// Names as pages write them usually match exactly; only then is the case
// compared letter by letter.
bool same_name(const Member& member, std::uint32_t digest, std::string_view name) noexcept {
  return member.digest == digest &&
         (same_bytes(member.name, name) || equals_ignoring_case(member.name, name));
}

}  // namespace

const Member* find_named(const ClassDescriptor& cls, std::string_view name) noexcept {
  const std::span<const Member> members = cls.members();
  const MemberIndex& index = cls.binding->index;
  const std::uint32_t digest = name_digest(name);
  for (std::size_t slot = MemberIndex::name_slot(digest); index.by_name[slot] != 0;
       slot = MemberIndex::next(slot)) {
    const Member& member = members[index.by_name[slot] - 1];
    if (same_name(member, digest, name)) return &member;
  }
  return nullptr;
}

bool has_form(const ClassDescriptor& cls, DispId id, MemberKind kind) noexcept {
  return find_member(cls, id, kind) != nullptr;
}

Variant detail::invoke_other(const ClassDescriptor& cls, void* object, const Member* member,
                             std::span<Variant* const> args) {
  try {
    if (member == nullptr) raise_not_supported();
    if (args.size() < member->required_count || args.size() > member->param_count) {
      raise_wrong_argument_count();
    }
    // Left-out optional arguments arrive as empty values (a call with every
    // argument never comes here).
    std::array<Variant, kMaxParams> omitted;
    std::array<Variant*, kMaxParams> full{};
    for (std::size_t i = 0; i < member->param_count; ++i) {
      full[i] = i < args.size() ? args[i] : &omitted[i];
    }
    return member->call(object, std::span<Variant* const>(full.data(), member->param_count));
  } catch (AutomationError& error) {
    error.set_source_if_empty(cls.prog_id);
    throw;
  }
}

Variant invoke(const ClassDescriptor& cls, void* object, std::string_view name, MemberKind kind,
               std::span<Variant* const> args) {
  const Member* named = find_named(cls, name);
  if (named == nullptr) raise_not_supported(cls.prog_id);
  return invoke(cls, object, named->id, kind, args);
}

}  // namespace vantrel
