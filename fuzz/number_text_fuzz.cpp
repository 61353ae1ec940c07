// Number text and rounding: any text is read as a number or refused, every
// conversion either returns or raises an automation error, and what the
// conversion to text writes reads back as the same text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "frame/automation_error.h"
#include "frame/variant.h"

namespace {

using vantrel::Variant;

void check(bool condition) {
  if (!condition) std::abort();
}

template <class Convert>
void try_conversion(Convert convert) {
  try {
    convert();
  } catch (const vantrel::AutomationError&) {
  }
}

void convert_every_way(const Variant& value) {
  try_conversion([&] { (void)vantrel::to_integer(value); });
  try_conversion([&] { (void)vantrel::to_long(value); });
  try_conversion([&] { (void)vantrel::to_boolean(value); });
  try_conversion([&] { (void)vantrel::to_double(value); });
  try_conversion([&] { (void)vantrel::to_text(value); });
}

// The whole number nearest to `value`, halves to the even neighbour.
void check_rounding(double value) {
  if (!std::isfinite(value)) return;
  const double rounded = vantrel::round_half_even(value);
  check(rounded == std::nearbyint(rounded));
  const double distance = std::fabs(rounded - value);
  check(distance <= 0.5);
  if (distance == 0.5) check(std::fmod(rounded, 2.0) == 0.0);
  // A 32-bit conversion agrees with the rounding or reports an overflow.
  try {
    check(vantrel::to_long(Variant(value)) == rounded);
  } catch (const vantrel::AutomationError& error) {
    check(error.number() == vantrel::error_number::kOverflow);
    check(rounded < -2147483648.0 || rounded > 2147483647.0);
  }
}

// Text that reads as a number converts to text that reads as the same number
// and converts back to the same text.
void check_read_back(const std::string& text) {
  double value = 0;
  if (!vantrel::parse_number(text, value) || !std::isfinite(value)) return;
  std::string written;
  vantrel::append_number(written, value);
  double again = 0;
  // Fifteen digits round the largest doubles up past the largest double.
  if (!vantrel::parse_number(written, again) || !std::isfinite(again)) {
    check(std::fabs(value) > 1.79769313486231e308);
    return;
  }
  std::string rewritten;
  vantrel::append_number(rewritten, again);
  check(written == rewritten);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size >= sizeof(double)) {
    double raw = 0;
    std::memcpy(&raw, data, sizeof raw);
    check_rounding(raw);
    convert_every_way(Variant(raw));
    convert_every_way(Variant(vantrel::Date{raw}));
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  check_read_back(text);
  convert_every_way(Variant(text));
  double value = 0;
  if (vantrel::parse_number(text, value)) check_rounding(value);
  return 0;
}
