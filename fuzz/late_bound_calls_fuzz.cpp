// Late-bound calls: a sequence of calls by name, in any form, with any
// number of arguments of any kind, on an object of any class. Each call
// returns or raises an automation error; nothing else may happen, and the
// object stays usable after an error.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "components/catalog.h"
#include "frame/automation_error.h"
#include "frame/dispatch.h"

namespace {

using vantrel::Variant;

Variant random_value(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange<int>(0, 8)) {
    case 0:
      return Variant();
    case 1:
      return Variant::null();
    case 2:
      return Variant(input.ConsumeBool());
    case 3:
      return Variant(input.ConsumeIntegral<std::int16_t>());
    case 4:
      return Variant(input.ConsumeIntegral<std::int32_t>());
    case 5:
      return Variant(input.ConsumeFloatingPoint<double>());
    case 6:
      return Variant(vantrel::Date{input.ConsumeFloatingPoint<double>()});
    case 7:
      return Variant::object();
    default:
      return Variant(input.ConsumeRandomLengthString(64));
  }
}

std::string random_name(FuzzedDataProvider& input, const vantrel::ClassDescriptor& cls) {
  const auto members = cls.members();
  if (input.ConsumeIntegralInRange<int>(0, 15) == 0) return input.ConsumeRandomLengthString(16);
  std::string name(members[input.ConsumeIntegralInRange<std::size_t>(0, members.size() - 1)].name);
  // Names are matched without regard to case.
  if (input.ConsumeBool()) {
    for (char& c : name) {
      if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') c = static_cast<char>(c ^ 0x20);
    }
  }
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const auto classes = vantrel::vantrel_library().classes;
  const vantrel::ClassDescriptor& cls =
      classes[input.ConsumeIntegralInRange<std::size_t>(0, classes.size() - 1)];
  void* object = cls.binding->create();
  for (int call = 0; call < 64 && input.remaining_bytes() > 0; ++call) {
    const std::string name = random_name(input, cls);
    const auto kind = static_cast<vantrel::MemberKind>(input.ConsumeIntegralInRange<int>(0, 2));
    std::vector<Variant> values(input.ConsumeIntegralInRange<std::size_t>(0, 6));
    for (Variant& value : values) value = random_value(input);
    std::vector<Variant*> args;
    for (Variant& value : values) args.push_back(&value);
    try {
      (void)vantrel::invoke(cls, object, name, kind, args);
    } catch (const vantrel::AutomationError&) {
    }
  }
  cls.binding->destroy(object);
  return 0;
}
