#include "frame/dispatch.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "components/catalog.h"
#include "frame/automation_error.h"
#include "frame/text.h"

namespace vantrel {
namespace {

using namespace std::string_view_literals;

// One line per member, in slot order: kind, name, parameters, result, id.
std::vector<std::string> describe(const ClassDescriptor& cls) {
  std::vector<std::string> lines;
  for (const Member& m : cls.members()) {
    std::string line = std::string(kind_name(m.kind)) + " " + std::string(m.name) + "(";
    for (std::size_t i = 0; i < m.params().size(); ++i) {
      const Param& p = m.params()[i];
      if (i > 0) line += ", ";
      line += p.optional ? "[" : "";
      line += std::string(p.name) + " " + std::string(type_name(p.type));
      line += p.optional ? "]" : "";
    }
    char id[16];
    std::snprintf(id, sizeof id, "0x%08x", static_cast<unsigned>(m.id));
    line += ") " + std::string(type_name(m.result)) + " " + id;
    lines.push_back(line);
  }
  return lines;
}

const ClassDescriptor& cls(std::string_view prog_id) {
  const ClassDescriptor* found = vantrel_library().find_class(prog_id);
  EXPECT_NE(found, nullptr) << prog_id;
  return *found;
}

TEST(MemberTables, EveryInterfaceHasItsMembersInSlotOrder) {
  const std::vector<std::pair<std::string_view, std::vector<std::string>>> expected = {
      {"Vantrel.AutoComplete",
       {"method EmbedAutoComplete(HTMLFieldNameToBuild String, HTMLSelectNameToLink String, "
        "ForceAutoComplete Boolean, IsLinkedAsText Boolean) String 0x60030002"}},
      {"Vantrel.Calendar",
       {"property let ImageURL(NewURL Variant) none 0x68030001",
        "property get ImageURL() Variant 0x68030001",
        "property let ActiveDate(NewDate Variant) none 0x68030000",
        "property get ActiveDate() Variant 0x68030000",
        "method DisplayEmbedded(calName Variant) String 0x60030006",
        "method DisplayPopup(calName Variant) String 0x60030007"}},
      {"Vantrel.PopupMenu",
       {"property let BorderColor(NewBorderColor String) none 0x68030004",
        "property let Width(NewWidth Integer) none 0x68030003",
        "property let BGColor(NewBGColor String) none 0x68030002",
        "property let OnMouseOver(NewOnMouseOver String) none 0x68030001",
        "property let OnMouseOut(NewOnMouseOut String) none 0x68030000",
        "method AddMenuTitle(Display String) none 0x60030006",
        "method AddMenuItem(Display String, OnClick String, ImagePath String) none 0x60030007",
        "method AddHorizontalRule(ImagePath_1x1Pixel String) none 0x60030008",
        "method EmbedPopupMenu() String 0x60030009"}},
      {"Vantrel.ProgressBar",
       {"method GetValue() Variant 0x60030003", "property let Max(NewMax Variant) none 0x68030001",
        "property get Max() Variant 0x68030001",
        "property let Color(NewColor Variant) none 0x68030000",
        "property get Color() Variant 0x68030000",
        "method SetValue(NewValue Variant) String 0x60030004",
        "method Show(HideOutputDuring Variant, HideProgressBarAfter Variant) String 0x60030005",
        "method HideOutput(Hidden Variant) String 0x60030006"}},
      {"Vantrel.Tabs",
       {"property let IsVisible(NewIsVisible Boolean) none 0x68030007",
        "property get TabName() String 0x68030006",
        "property let TabName(NewTabName String) none 0x68030006",
        "property get TabWidth() Integer 0x68030005",
        "property let TabWidth(NewTabWidth Integer) none 0x68030005",
        "property get PanelWidth() Integer 0x68030004",
        "property let PanelWidth(NewPanelWidth Integer) none 0x68030004",
        "property get PanelHeight() Integer 0x68030003",
        "property let PanelHeight(NewPanelHeight Integer) none 0x68030003",
        "property get TabCount() Integer 0x68030002",
        "property let TabCount(NewTabCount Integer) none 0x68030002",
        "property get LayerColor() String 0x68030001",
        "property let LayerColor(NewLayerColor String) none 0x68030001",
        "property get JavaScriptOnClick() String 0x68030000",
        "property let JavaScriptOnClick(NewJavaScriptOnClick String) none 0x68030000",
        "method WriteTab(ContentName Variant, URL Variant) String 0x6003000b",
        "method MoveNextLayerColor() none 0x6003000c",
        "method MovePreviousLayerColor() none 0x6003000d"}},
      {"Vantrel.Tree",
       {"property get Width() String 0x68030005",
        "property let Width(newWidth String) none 0x68030005",
        "property get TextClass() String 0x68030004",
        "property let TextClass(NewTextClass String) none 0x68030004",
        "property get ExpandedImage() String 0x68030003",
        "property let ExpandedImage(NewExpandedImage String) none 0x68030003",
        "property get ExpandAllImage() String 0x68030002",
        "property let ExpandAllImage(NewExpandAllImage String) none 0x68030002",
        "property get CollapsedImage() String 0x68030001",
        "property let CollapsedImage(NewCollapsedImage String) none 0x68030001",
        "property get CollapseAllImage() String 0x68030000",
        "property let CollapseAllImage(NewCollapseAllImage String) none 0x68030000",
        "method WriteExpandCollapse() String 0x60030007", "method Initialize() String 0x60030008",
        "method WriteMenuHeader(MenuName String) String 0x60030009",
        "method WriteMenuFooter() String 0x6003000a",
        "method WriteNode(NodeName String, URI String, Target String, [ImagePath String]) String "
        "0x6003000b"}},
  };
  ASSERT_EQ(vantrel_library().classes.size(), expected.size());
  for (const auto& [prog_id, members] : expected) {
    SCOPED_TRACE(prog_id);
    EXPECT_EQ(describe(cls(prog_id)), members);
  }
}

// Looked up while the program starts, before main: the catalog must already be
// in place whatever the order in which translation units are initialized.
const ClassDescriptor* const kFoundBeforeMain = vantrel_library().find_class("Vantrel.Tree");

TEST(Library, ClassesCanBeFoundBeforeMain) { EXPECT_EQ(kFoundBeforeMain, &cls("Vantrel.Tree")); }

TEST(Library, IdentityAndClassesAreFixed) {
  const LibraryDescriptor& library = vantrel_library();
  EXPECT_EQ(library.name, "Vantrel");
  EXPECT_EQ(library.major_version, 27);
  EXPECT_EQ(library.minor_version, 0);
  EXPECT_EQ(library.locale, 0u);
  EXPECT_EQ(library.threading_model, "Apartment");
  std::set<std::string> ids = {to_string(library.type_library)};
  for (const ClassDescriptor& c : library.classes) {
    EXPECT_EQ(c.prog_id, "Vantrel." + std::string(c.name));
    EXPECT_EQ(c.interface_name, "_" + std::string(c.name));
    ids.insert(to_string(c.clsid));
    ids.insert(to_string(c.iid));
  }
  EXPECT_EQ(ids.size(), 13u) << "every identifier is unique";
  EXPECT_EQ(to_string(library.type_library), "{26FAA6BA-55FB-4EE8-BB58-75C95136A5D2}");
  EXPECT_EQ(library.find_class("vantrel.CALENDAR"), &cls("Vantrel.Calendar"));
  EXPECT_EQ(library.find_class(cls("Vantrel.Tree").clsid), &cls("Vantrel.Tree"));
  EXPECT_EQ(library.find_class("Vantrel"), nullptr);
  EXPECT_EQ(library.find_class("Calendar"), nullptr);
}

TEST(LateBinding, NamesAreFoundInAnyCase) {
  const ClassDescriptor& tree = cls("Vantrel.Tree");
  EXPECT_EQ(find_dispatch_id(tree, "WriteNode"), 0x6003000b);
  EXPECT_EQ(find_dispatch_id(tree, "writenode"), 0x6003000b);
  EXPECT_EQ(find_dispatch_id(tree, "WRITENODE"), 0x6003000b);
  EXPECT_EQ(find_dispatch_id(tree, "width"), 0x68030005);
  EXPECT_EQ(find_dispatch_id(tree, "WriteNodes"), std::nullopt);
  EXPECT_EQ(find_dispatch_id(tree, ""), std::nullopt);
}

// Names are compared eight bytes at a time: texts of every length up to
// twenty, against themselves, one byte longer, and with one byte changed at
// each place.
TEST(LateBinding, NamesCompareByteForByteAtEveryLength) {
  const std::string letters = "abcdefghijklmnopqrst";
  for (std::size_t size = 0; size <= letters.size(); ++size) {
    const std::string text = letters.substr(0, size);
    EXPECT_TRUE(same_bytes(text, std::string(text))) << size;
    EXPECT_FALSE(same_bytes(text, text + "u")) << size;
    for (std::size_t i = 0; i < size; ++i) {
      std::string changed = text;
      changed[i] = 'X';
      EXPECT_FALSE(same_bytes(text, changed)) << size << " " << i;
    }
  }
}

// The index agrees with the table for every member of every class, in any
// case, and finds no near miss (a letter changed, added or dropped keeps
// most of a name's digest).
TEST(LateBinding, TheIndexFindsEveryMemberAndNothingElse) {
  const auto with_case = [](std::string_view name, char (*change)(char)) {
    std::string changed(name);
    for (char& c : changed) c = change(c);
    return changed;
  };
  for (const ClassDescriptor& c : vantrel_library().classes) {
    for (const Member& m : c.members()) {
      for (const std::string& name :
           {std::string(m.name), with_case(m.name, [](char ch) { return ascii_lower(ch); }),
            with_case(m.name, [](char ch) { return static_cast<char>(std::toupper(ch)); })}) {
        EXPECT_EQ(find_dispatch_id(c, name), m.id) << c.prog_id << " " << name;
      }
      EXPECT_EQ(find_member(c, m.id, m.kind), &m) << c.prog_id << " " << m.name;
      const std::string name(m.name);
      for (const std::string& miss :
           {name + "s", name.substr(1), name.substr(0, name.size() - 1),
            name.substr(0, name.size() / 2) + "_" + name.substr(name.size() / 2 + 1)}) {
        EXPECT_EQ(find_dispatch_id(c, miss), std::nullopt) << c.prog_id << " " << miss;
      }
    }
    EXPECT_EQ(find_dispatch_id(c, ""), std::nullopt);
    EXPECT_EQ(find_member(c, 0x7fffffff, MemberKind::Method), nullptr);
  }
}

// Every member of every class, tried in the forms it does not have and with
// one argument too many or too few: the call is refused before the member
// runs, with 438 or 450 and the class as the source.
TEST(LateBinding, EveryMemberRefusesWrongFormsAndCounts) {
  for (const ClassDescriptor& c : vantrel_library().classes) {
    void* object = c.binding->create();
    std::vector<Variant> values(kMaxParams + 1);
    std::vector<Variant*> args;
    for (Variant& v : values) args.push_back(&v);
    const auto error_of = [&](DispId id, MemberKind kind, std::size_t count) {
      try {
        invoke(c, object, id, kind, std::span<Variant* const>(args.data(), count));
      } catch (const AutomationError& e) {
        EXPECT_EQ(e.source(), c.prog_id);
        return e.number();
      }
      return 0;
    };
    for (const Member& m : c.members()) {
      SCOPED_TRACE(std::string(c.name) + "." + std::string(m.name));
      for (const MemberKind kind :
           {MemberKind::Method, MemberKind::PropertyGet, MemberKind::PropertyLet}) {
        if (!has_form(c, m.id, kind)) {
          EXPECT_EQ(error_of(m.id, kind, m.param_count), 438) << kind_name(kind);
        }
      }
      EXPECT_EQ(error_of(m.id, m.kind, m.param_count + 1u), 450);
      if (m.required_count > 0) {
        EXPECT_EQ(error_of(m.id, m.kind, m.required_count - 1u), 450);
      }
    }
    c.binding->destroy(object);
  }
}

// A class of the test's own, to try the invoke path on members of every
// parameter type, by-reference write-back and an optional parameter.
struct Probe {
  std::string text;
  std::int16_t number = 0;
  bool flag = false;

  void LetText(std::string_view NewText) { text = NewText; }
  std::string GetText() const { return text; }
  void LetNumber(std::int16_t NewNumber) { number = NewNumber; }
  void LetFlag(bool NewFlag) { flag = NewFlag; }
  // Converts its argument in place, as a member that takes a Variant may.
  std::string Normalise(Variant& Value) {
    Value = Variant(to_boolean(Value));
    return Value.boolean() ? "yes" : "no";
  }
  std::string Join(std::string_view First, std::string_view Second, std::string_view Third) {
    return std::string(First) + "|" + std::string(Second) + "|" + std::string(Third);
  }
};

constexpr Member kProbeMembers[] = {
    property_let<&Probe::LetText>("Text", 1, "NewText"),
    property_get<&Probe::GetText>("Text", 1),
    property_let<&Probe::LetNumber>("Number", 2, "NewNumber"),
    property_let<&Probe::LetFlag>("Flag", 3, "NewFlag"),
    method<&Probe::Normalise>("Normalise", 4, {"Value"}),
    method<&Probe::Join>("Join", 5, {"First", "Second", "Third"}, 1),
};
const ClassBinding kProbeBinding = bind_class<Probe>(kProbeMembers);
const ClassDescriptor kProbeClass{"Probe", "Test.Probe", {}, "_Probe", {}, &kProbeBinding};

class ProbeCall : public ::testing::Test {
 protected:
  Variant call(std::string_view name, MemberKind kind, std::vector<Variant*> args) {
    return invoke(kProbeClass, &probe, name, kind, args);
  }
  int error_of(std::string_view name, MemberKind kind, std::vector<Variant*> args) {
    try {
      call(name, kind, args);
    } catch (const AutomationError& e) {
      EXPECT_EQ(e.source(), "Test.Probe");
      return e.number();
    }
    return 0;
  }
  Probe probe;
};

TEST_F(ProbeCall, ArgumentsAreConvertedToTheDeclaredTypes) {
  Variant five(std::int32_t{5}), half(2.5), word(std::string_view("True"));
  call("text", MemberKind::PropertyLet, {&five});
  call("NUMBER", MemberKind::PropertyLet, {&half});
  call("Flag", MemberKind::PropertyLet, {&word});
  EXPECT_EQ(probe.text, "5");
  EXPECT_EQ(probe.number, 2);
  EXPECT_TRUE(probe.flag);
  EXPECT_EQ(call("Text", MemberKind::PropertyGet, {}), Variant(std::string_view("5")));
  EXPECT_EQ(five, Variant(std::int32_t{5})) << "a String parameter leaves the caller's value";
}

TEST_F(ProbeCall, AMemberThatConvertsInPlaceWritesBackToTheCaller) {
  Variant value(std::int32_t{7});
  EXPECT_EQ(call("Normalise", MemberKind::Method, {&value}), Variant(std::string_view("yes")));
  EXPECT_EQ(value, Variant(true));
}

TEST_F(ProbeCall, OmittedOptionalArgumentsArriveEmpty) {
  Variant a(std::string_view("a")), b(std::string_view("b")), empty(std::string_view(""));
  EXPECT_EQ(call("Join", MemberKind::Method, {&a}), Variant(std::string_view("a||")));
  EXPECT_EQ(call("Join", MemberKind::Method, {&a, &b}), Variant(std::string_view("a|b|")));
  EXPECT_EQ(call("Join", MemberKind::Method, {&a, &b, &empty}),
            call("Join", MemberKind::Method, {&a, &b}));
}

TEST_F(ProbeCall, WrongFormsAndCountsRaiseTheirErrors) {
  Variant v(std::int32_t{1});
  EXPECT_EQ(error_of("Number", MemberKind::PropertyGet, {}), 438) << "let-only read";
  EXPECT_EQ(error_of("Text", MemberKind::Method, {}), 438);
  EXPECT_EQ(error_of("Join", MemberKind::PropertyGet, {}), 438);
  EXPECT_EQ(error_of("Join", MemberKind::PropertyLet, {&v}), 438);
  EXPECT_EQ(error_of("Missing", MemberKind::Method, {}), 438);
  EXPECT_EQ(error_of("Join", MemberKind::Method, {}), 450);
  EXPECT_EQ(error_of("Join", MemberKind::Method, {&v, &v, &v, &v}), 450);
  EXPECT_EQ(error_of("Normalise", MemberKind::Method, {&v, &v}), 450);
  EXPECT_EQ(error_of("Text", MemberKind::PropertyGet, {&v}), 450);
  EXPECT_EQ(error_of("Text", MemberKind::PropertyLet, {}), 450);
}

TEST_F(ProbeCall, ConversionErrorsNameTheClassAndChangeNothing) {
  Variant null = Variant::null(), big(1e6), object = Variant::object();
  probe.text = "kept";
  EXPECT_EQ(error_of("Text", MemberKind::PropertyLet, {&null}), 94);
  EXPECT_EQ(error_of("Number", MemberKind::PropertyLet, {&big}), 6);
  EXPECT_EQ(error_of("Normalise", MemberKind::Method, {&object}), 13);
  EXPECT_EQ(probe.text, "kept");
  EXPECT_EQ(probe.number, 0);
  EXPECT_EQ(object, Variant::object());
}

}  // namespace
}  // namespace vantrel
