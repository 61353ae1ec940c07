#include "components/progressbar/progressbar.h"

#include "components/progressbar/progressbar_script.h"
#include "frame/output.h"

namespace vantrel {

namespace {

// Converts a by-reference argument to Boolean and leaves the result, a
// Boolean Variant, in the caller's variable.
bool convert_in_place(Variant& argument) {
  if (argument.kind() != Variant::Kind::Boolean) argument = Variant(to_boolean(argument));
  return argument.boolean();
}

// Room for a 32-bit integer written in decimal, sign included.
constexpr std::size_t kNumberWidth = 11;

}  // namespace

Variant ProgressBar::GetValue() const { return Variant(Value); }

void ProgressBar::LetMax(Variant& NewMax) { Max = to_long(NewMax); }

Variant ProgressBar::GetMax() const { return Variant(Max); }

void ProgressBar::LetColor(Variant& NewColor) { Color = to_text(NewColor); }

Variant ProgressBar::GetColor() const { return Variant(Color); }

std::string ProgressBar::SetValue(Variant& NewValue) {
  const std::int32_t converted = to_long(NewValue);
  Output out;
  out.fill<kUpdateScript>(converted);
  std::string result = std::move(out).take();
  Value = converted;
  return result;
}

std::string ProgressBar::Show(Variant& HideOutputDuring, Variant& HideProgressBarAfter) {
  const bool hide_output = convert_in_place(HideOutputDuring);
  const bool hide_bar = convert_in_place(HideProgressBarAfter);

  const std::string_view end = show_end(hide_bar, hide_output);
  Output out(kShowScript.fixed_size + kNumberWidth + Color.size() + end.size());
  out.fill<kShowScript>(Max != 0 ? Max : kDefaultProgressEnd, Color);
  out.add_block(end);
  return std::move(out).take();
}

std::string ProgressBar::HideOutput(Variant& Hidden) {
  return std::string(convert_in_place(Hidden) ? kHidePage : kShowPage);
}

}  // namespace vantrel
