// Every member of every class called with random values, in random forms and
// with random argument counts: a call either returns or raises one of the
// automation errors a page can see. Nothing else may happen (the sanitizer
// build runs this too), and an object stays usable after any error.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "components/catalog.h"
#include "frame/automation_error.h"
#include "frame/dispatch.h"

namespace vantrel {
namespace {

class RandomValues {
 public:
  explicit RandomValues(std::uint32_t seed) : engine_(seed) {}

  std::size_t below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(engine_);
  }

  Variant value() {
    switch (below(9)) {
      case 0:
        return Variant();
      case 1:
        return Variant::null();
      case 2:
        return Variant(below(2) == 0);
      case 3:
        return Variant(pick<std::int16_t>({0, 1, -1, 2, 33, 328, 1820, 1821, 32767, -32768}));
      case 4:
        return Variant(pick<std::int32_t>({0, 7, 42, -5, 250, 2147483647, -2147483647 - 1}));
      case 5:
        return Variant(pick<double>({0.5, 2.5, -2.5, 1e300, -1e300, 32767.5, -0.0,
                                     std::numeric_limits<double>::quiet_NaN(),
                                     std::numeric_limits<double>::infinity()}));
      case 6:
        return Variant(Date{pick<double>({0, 37666.4375, -1.25, -700000, 3e6, 1e18})});
      case 7:
        return Variant::object();
      default:
        return Variant(text());
    }
  }

 private:
  template <class T>
  T pick(std::initializer_list<T> values) {
    return values.begin()[below(values.size())];
  }

  std::string text() {
    static const std::vector<std::string> kTexts = {"",
                                                    " ",
                                                    "7",
                                                    " 7 ",
                                                    "2.5",
                                                    "1e5",
                                                    "abc",
                                                    "True",
                                                    "false",
                                                    "2/14/2003",
                                                    "02/30/2003",
                                                    "February 14, 2003",
                                                    "2003-02-14T10:30",
                                                    "#e0e0e0",
                                                    "e0e0e0ff",
                                                    "fffff",
                                                    "0a1020",
                                                    "<b>\"quoted\" 'text'</b>",
                                                    std::string("nul\0inside", 10),
                                                    "\xff\xfe\xed\xa0\xbd",
                                                    std::string(5000, 'x')};
    if (below(4) > 0) return kTexts[below(kTexts.size())];
    std::string random(below(40), '\0');
    for (char& c : random) c = static_cast<char>(below(256));
    return random;
  }

  std::mt19937 engine_;
};

TEST(RandomCalls, EveryCallReturnsOrRaisesAnAutomationError) {
  const std::set<std::int32_t> page_errors = {1, 6, 13, 94, 438, 450};
  RandomValues random(20261207);
  for (const ClassDescriptor& cls : vantrel_library().classes) {
    SCOPED_TRACE(cls.prog_id);
    void* object = cls.binding->create();
    const auto members = cls.members();
    std::size_t raised = 0;
    for (int call = 0; call < 10000; ++call) {
      const Member& member = members[random.below(members.size())];
      const MemberKind kind =
          random.below(8) == 0 ? static_cast<MemberKind>(random.below(3)) : member.kind;
      const std::size_t count =
          random.below(8) == 0 ? random.below(kMaxParams + 2) : member.param_count;
      std::vector<Variant> values;
      for (std::size_t i = 0; i < count; ++i) values.push_back(random.value());
      std::vector<Variant*> args;
      for (Variant& v : values) args.push_back(&v);
      try {
        invoke(cls, object, member.id, kind, args);
      } catch (const AutomationError& error) {
        ++raised;
        EXPECT_TRUE(page_errors.contains(error.number()))
            << member.name << ": " << error.number() << " " << error.description();
        EXPECT_FALSE(error.source().empty());
        EXPECT_FALSE(error.description().empty());
      }
    }
    EXPECT_GT(raised, 0u);
    cls.binding->destroy(object);
  }
}

}  // namespace
}  // namespace vantrel
