#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "frame/guid.h"
#include "frame/text.h"
#include "frame/variant.h"

// Member tables: each component binds its C++ members to the names, kinds,
// parameters and dispatch ids that callers see. The table is the one
// description of an interface; late binding, the page host and the Windows
// type library are all driven from it.
//
// A member's parameter and result types come from the C++ signature:
//   std::string_view  String   (the argument converted to text)
//   std::int16_t      Integer  (converted to a 16-bit whole number)
//   bool              Boolean  (converted to a truth value)
//   Variant&          Variant  (the caller's own value, by reference: a
//                               member that converts it in place writes the
//                               converted value back to the caller)
// Results are std::string (String), std::int16_t (Integer), Variant, or void.
namespace vantrel {

using DispId = std::int32_t;

enum class MemberKind : std::uint8_t { Method, PropertyGet, PropertyLet };
enum class ValueType : std::uint8_t { None, String, Integer, Boolean, Variant };

std::string_view kind_name(MemberKind kind) noexcept;
std::string_view type_name(ValueType type) noexcept;

struct Param {
  std::string_view name;
  ValueType type = ValueType::None;
  bool optional = false;
};

inline constexpr std::size_t kMaxParams = 4;
// No member name is longer: a caller may read a name into a buffer this size.
inline constexpr std::size_t kMaxNameSize = 64;

// Calls a bound member with exactly as many arguments as it declares.
using MemberCall = Variant (*)(void* object, std::span<Variant* const> args);

// A cheap digest of a member name, case ignored: its length and five of its
// letters. Look-ups compare digests first and names only on a match, so no
// two names of one class should share a digest (WriteMenuHeader and
// WriteMenuFooter differ only in the letters from the second half on).
constexpr std::uint32_t name_digest(std::string_view name) noexcept {
  if (name.empty()) return 0;
  const auto at = [&](std::size_t i) { return std::uint32_t(std::uint8_t(ascii_lower(name[i]))); };
  const std::size_t n = name.size();
  return ((std::uint32_t(n) << 24) ^ (at(0) << 16) ^ (at(n / 4) << 12) ^ (at(n / 2) << 6) ^
          (at(n * 3 / 4) << 3) ^ at(n - 1)) *
         0x9E3779B1u;
}

struct Member {
  MemberKind kind = MemberKind::Method;
  std::string_view name;
  std::uint32_t digest = 0;  // name_digest(name)
  DispId id = 0;
  std::array<Param, kMaxParams> param_storage{};
  std::uint8_t param_count = 0;
  std::uint8_t required_count = 0;
  ValueType result = ValueType::None;
  MemberCall call = nullptr;

  constexpr std::span<const Param> params() const { return {param_storage.data(), param_count}; }
};

// Where each member sits in its table: by name (case ignored), found in
// about one step, and by dispatch id and kind, found in exactly one. Names
// use open addressing over the name digest; ids and kinds each have a slot of
// their own, spread by a multiplier chosen when the table is compiled so that
// no two members share one. A slot holds the member's position plus one, 0
// when free. Built with the table when the library is compiled.
struct MemberIndex {
  static constexpr std::size_t kSlots = 64;
  std::array<std::uint8_t, kSlots> by_name{};  // the first member of each name
  std::array<std::uint8_t, kSlots> by_form{};  // every member, by id and kind
  std::uint32_t form_multiplier = 0x9E3779B1u;

  static constexpr std::size_t name_slot(std::uint32_t digest) noexcept { return digest >> 26; }
  static constexpr std::size_t next(std::size_t slot) noexcept { return (slot + 1) % kSlots; }
  constexpr std::size_t form_slot(DispId id, MemberKind kind) const noexcept {
    return form_slot(id, kind, form_multiplier);
  }
  static constexpr std::size_t form_slot(DispId id, MemberKind kind,
                                         std::uint32_t multiplier) noexcept {
    return ((static_cast<std::uint32_t>(id) * 4 + static_cast<std::uint32_t>(kind)) * multiplier) >>
           26;
  }
};

consteval MemberIndex make_member_index(std::span<const Member> members) {
  // Half the slots at most are taken, so a probe ends soon at a free one,
  // and a multiplier that spreads every id and kind is found in a few tries.
  if (members.size() > MemberIndex::kSlots / 2) throw "too many members for the member index";
  MemberIndex index;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (members[i].name.size() > kMaxNameSize) throw "a member name longer than kMaxNameSize";
    bool named = false;
    for (std::size_t j = 0; j < i; ++j) {
      const bool same = equals_ignoring_case(members[j].name, members[i].name);
      if (!same && members[j].digest == members[i].digest) throw "two member names share a digest";
      named = named || same;
    }
    if (!named) {
      std::size_t slot = MemberIndex::name_slot(members[i].digest);
      while (index.by_name[slot] != 0) slot = MemberIndex::next(slot);
      index.by_name[slot] = static_cast<std::uint8_t>(i + 1);
    }
  }
  for (int tries = 0;; ++tries, index.form_multiplier += 0x3C6EF372u) {  // stays odd
    if (tries == 100000) throw "no multiplier gives every member a slot of its own";
    std::uint64_t taken = 0;
    bool shared = false;
    for (const Member& member : members) {
      const std::uint64_t bit = std::uint64_t{1} << index.form_slot(member.id, member.kind);
      shared = shared || (taken & bit) != 0;
      taken |= bit;
    }
    if (!shared) break;
  }
  for (std::size_t i = 0; i < members.size(); ++i) {
    index.by_form[index.form_slot(members[i].id, members[i].kind)] =
        static_cast<std::uint8_t>(i + 1);
  }
  return index;
}

// How the platform creates and frees objects of a class, and the class's
// member table with its index.
struct ClassBinding {
  std::span<const Member> members;
  void* (*create)() = nullptr;
  void (*destroy)(void* object) noexcept = nullptr;
  MemberIndex index{};
};

template <class T>
consteval ClassBinding bind_class(std::span<const Member> members) {
  return {members, []() -> void* { return new T(); },
          [](void* object) noexcept { delete static_cast<T*>(object); },
          make_member_index(members)};
}

namespace binding {

template <class F>
struct Signature;
template <class C, class R, class... A>
struct Signature<R (C::*)(A...)> {
  using Class = C;
  using Result = R;
  using Args = std::tuple<A...>;
  static constexpr std::size_t arity = sizeof...(A);
};
template <class C, class R, class... A>
struct Signature<R (C::*)(A...) const> : Signature<R (C::*)(A...)> {};

// One argument: what the C++ member receives, and where the converted value
// lives during the call.
template <class A>
struct Arg;

template <>
struct Arg<std::string_view> {
  static constexpr ValueType type = ValueType::String;
  struct Holder {
    std::string_view view;
    ConvertedText converted;
  };
  static void convert(Variant& value, Holder& holder) {
    holder.view = value.kind() == Variant::Kind::String ? std::string_view(value.string())
                                                        : holder.converted.make(to_text(value));
  }
  static std::string_view get(Holder& holder) { return holder.view; }
  static bool ready(const Variant& value) { return value.kind() == Variant::Kind::String; }
  static std::string_view as_is(Variant& value) { return value.string(); }
};

template <>
struct Arg<std::int16_t> {
  static constexpr ValueType type = ValueType::Integer;
  using Holder = std::int16_t;
  static void convert(Variant& value, Holder& holder) { holder = to_integer(value); }
  static std::int16_t get(Holder& holder) { return holder; }
  static bool ready(const Variant& value) { return is_whole_integer(value); }
  static std::int16_t as_is(Variant& value) { return to_integer(value); }
};

template <>
struct Arg<bool> {
  static constexpr ValueType type = ValueType::Boolean;
  using Holder = bool;
  static void convert(Variant& value, Holder& holder) { holder = to_boolean(value); }
  static bool get(Holder& holder) { return holder; }
  static bool ready(const Variant& value) { return value.kind() == Variant::Kind::Boolean; }
  static bool as_is(Variant& value) { return value.boolean(); }
};

template <>
struct Arg<Variant&> {
  static constexpr ValueType type = ValueType::Variant;
  using Holder = Variant*;
  static void convert(Variant& value, Holder& holder) { holder = &value; }
  static Variant& get(Holder& holder) { return *holder; }
  static bool ready(const Variant&) { return true; }
  static Variant& as_is(Variant& value) { return value; }
};

template <class R>
constexpr ValueType result_type() {
  if constexpr (std::is_void_v<R>) return ValueType::None;
  if constexpr (std::is_same_v<R, std::string>) return ValueType::String;
  if constexpr (std::is_same_v<R, std::int16_t>) return ValueType::Integer;
  if constexpr (std::is_same_v<R, bool>) return ValueType::Boolean;
  if constexpr (std::is_same_v<R, Variant>) return ValueType::Variant;
}

// Calls the member with its arguments, and makes its result a Variant.
template <auto Fn, class... Values>
Variant call_member(void* object, Values&&... values) {
  using S = Signature<decltype(Fn)>;
  // The closures reach the object as it came, untyped (a class of a test's
  // own may have internal linkage, which a closure in a header must not hold).
  const auto member = [&] {
    return (static_cast<typename S::Class*>(object)->*Fn)(std::forward<Values>(values)...);
  };
  if constexpr (std::is_void_v<typename S::Result>) {
    member();
    return Variant();
  } else if constexpr (std::is_same_v<typename S::Result, std::string>) {
    return Variant::text_of(member);
  } else {
    return Variant(member());
  }
}

// Converts the arguments in order, left to right, then calls the member.
// Kept out of the common call: inlined there, its room for converted values
// and the registers it needs made every call save and restore them.
template <auto Fn, std::size_t... I>
[[gnu::noinline]] Variant call_converted(void* object,
                                         [[maybe_unused]] std::span<Variant* const> args,
                                         std::index_sequence<I...>) {
  using S = Signature<decltype(Fn)>;
  std::tuple<typename Arg<std::tuple_element_t<I, typename S::Args>>::Holder...> holders;
  (Arg<std::tuple_element_t<I, typename S::Args>>::convert(*args[I], std::get<I>(holders)), ...);
  return call_member<Fn>(
      object, Arg<std::tuple_element_t<I, typename S::Args>>::get(std::get<I>(holders))...);
}

// Arguments that need no conversion (what pages mostly pass: Strings for
// texts, whole numbers in range, truth values) go to the member as they are,
// with nothing held; any other call converts them first.
template <auto Fn, std::size_t... I>
Variant call_with(void* object, [[maybe_unused]] std::span<Variant* const> args,
                  std::index_sequence<I...> places) {
  using S = Signature<decltype(Fn)>;
  if ((Arg<std::tuple_element_t<I, typename S::Args>>::ready(*args[I]) && ...)) {
    return call_member<Fn>(object,
                           Arg<std::tuple_element_t<I, typename S::Args>>::as_is(*args[I])...);
  }
  return call_converted<Fn>(object, args, places);
}

template <auto Fn>
Variant call(void* object, std::span<Variant* const> args) {
  return call_with<Fn>(object, args, std::make_index_sequence<Signature<decltype(Fn)>::arity>{});
}

// describe() and describe_params() are constexpr rather than consteval: clang 14
// rejects a consteval call nested in a consteval template whose arguments are
// the outer call's parameters. They run only from the consteval builders below,
// so every table is still built at compile time.
template <auto Fn, std::size_t... I>
constexpr void describe_params(Member& member, std::initializer_list<std::string_view> names,
                               std::size_t first_optional, std::index_sequence<I...>) {
  using S = Signature<decltype(Fn)>;
  ((member.param_storage[I] =
        Param{names.begin()[I], Arg<std::tuple_element_t<I, typename S::Args>>::type,
              I >= first_optional}),
   ...);
}

template <auto Fn>
constexpr Member describe(MemberKind kind, std::string_view name, DispId id,
                          std::initializer_list<std::string_view> param_names,
                          std::size_t first_optional) {
  using S = Signature<decltype(Fn)>;
  static_assert(S::arity <= kMaxParams);
  if (param_names.size() != S::arity) throw "one parameter name for each parameter of the member";
  Member member;
  member.kind = kind;
  member.name = name;
  member.digest = name_digest(name);
  member.id = id;
  member.param_count = static_cast<std::uint8_t>(S::arity);
  member.required_count =
      static_cast<std::uint8_t>(first_optional < S::arity ? first_optional : S::arity);
  member.result = result_type<typename S::Result>();
  member.call = &call<Fn>;
  describe_params<Fn>(member, param_names, first_optional, std::make_index_sequence<S::arity>{});
  return member;
}

}  // namespace binding

// A method. Parameters from `first_optional` on may be left out by the caller;
// a left-out parameter arrives as an empty value (an empty String).
template <auto Fn>
consteval Member method(std::string_view name, DispId id,
                        std::initializer_list<std::string_view> params = {},
                        std::size_t first_optional = kMaxParams) {
  return binding::describe<Fn>(MemberKind::Method, name, id, params, first_optional);
}

template <auto Fn>
consteval Member property_get(std::string_view name, DispId id) {
  const Member member = binding::describe<Fn>(MemberKind::PropertyGet, name, id, {}, kMaxParams);
  if (member.result == ValueType::None) throw "a property get returns its value";
  return member;
}

template <auto Fn>
consteval Member property_let(std::string_view name, DispId id, std::string_view param) {
  const Member member =
      binding::describe<Fn>(MemberKind::PropertyLet, name, id, {param}, kMaxParams);
  if (member.result != ValueType::None) throw "a property let returns nothing";
  return member;
}

}  // namespace vantrel
