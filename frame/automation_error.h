#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantrel {

// The platform's error numbers that reach callers besides a component's own
// number 1.
namespace error_number {
inline constexpr std::int32_t kComponent = 1;
inline constexpr std::int32_t kInvalidArgument = 5;  // "Invalid procedure call or argument"
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kTypeMismatch = 13;
inline constexpr std::int32_t kInvalidUseOfNull = 94;
inline constexpr std::int32_t kCannotCreateObject = 429;
inline constexpr std::int32_t kNotSupported = 438;
inline constexpr std::int32_t kWrongArgumentCount = 450;
}  // namespace error_number

// An error as a page script sees it: number, source and description. Members
// throw it; only the platform adapters and the page host catch it.
class AutomationError : public std::exception {
 public:
  AutomationError(std::int32_t number, std::string source, std::string description);

  std::int32_t number() const noexcept { return number_; }
  const std::string& source() const noexcept { return source_; }
  const std::string& description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

  // Errors raised by a conversion or by arithmetic carry no source; the
  // object that was called fills in its programmatic identifier.
  void set_source_if_empty(std::string_view source);

 private:
  std::int32_t number_;
  std::string source_;
  std::string description_;
};

[[noreturn]] void raise_overflow();
[[noreturn]] void raise_type_mismatch();
[[noreturn]] void raise_invalid_use_of_null();
[[noreturn]] void raise_not_supported(std::string_view source = "");
[[noreturn]] void raise_wrong_argument_count();

}  // namespace vantrel
