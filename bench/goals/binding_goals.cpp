// Late binding against the direct C++ call, for every member of every class:
// the same member with the same values, called directly (the values already
// converted to the member's types), by name and by dispatch id.
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bench/goals/measure.h"
#include "bench/goals/table.h"
#include "bench/prepared_objects.h"
#include "components/autocomplete/autocomplete.h"
#include "components/calendar/calendar.h"
#include "components/catalog.h"
#include "components/popupmenu/popupmenu.h"
#include "components/progressbar/progressbar.h"
#include "components/tabs/tabs.h"
#include "components/tree/tree.h"
#include "frame/dispatch.h"

namespace vantrel::goals {
namespace {

// Calls per timed batch, each on a fresh copy of the prepared object.
constexpr std::size_t kBatch = 1600;

struct BindingCase {
  std::string prog_id;
  std::string name;
  MemberKind kind;
  // Each times a batch and returns the nanoseconds per call.
  std::function<double()> direct, by_name, by_id;
};

template <class A>
using ArgOf = binding::Arg<A>;

template <auto Fn, class Holders, std::size_t... I>
void call_direct(typename binding::Signature<decltype(Fn)>::Class& object, Holders& holders,
                 std::index_sequence<I...>) {
  using S = binding::Signature<decltype(Fn)>;
  if constexpr (std::is_void_v<typename S::Result>) {
    (object.*Fn)(ArgOf<std::tuple_element_t<I, typename S::Args>>::get(std::get<I>(holders))...);
  } else {
    auto result = (object.*Fn)(
        ArgOf<std::tuple_element_t<I, typename S::Args>>::get(std::get<I>(holders))...);
    benchmark::DoNotOptimize(result);
  }
}

template <auto Fn, std::size_t... I>
auto converted(std::vector<Variant>& args, std::index_sequence<I...>) {
  using S = binding::Signature<decltype(Fn)>;
  auto holders = std::make_shared<
      std::tuple<typename ArgOf<std::tuple_element_t<I, typename S::Args>>::Holder...>>();
  (ArgOf<std::tuple_element_t<I, typename S::Args>>::convert(args[I], std::get<I>(*holders)), ...);
  return holders;
}

template <auto Fn>
BindingCase member_case(const typename binding::Signature<decltype(Fn)>::Class& prototype,
                        std::string_view prog_id, MemberKind kind, std::string_view name,
                        std::vector<Variant> values = {}) {
  using S = binding::Signature<decltype(Fn)>;
  using T = typename S::Class;
  const ClassDescriptor& cls = *vantrel_library().find_class(prog_id);
  const DispId id = *find_dispatch_id(cls, name);
  auto objects = std::make_shared<std::vector<T>>();
  auto args = std::make_shared<std::vector<Variant>>(std::move(values));
  auto pointers = std::make_shared<std::vector<Variant*>>();
  for (Variant& v : *args) pointers->push_back(&v);
  auto holders = converted<Fn>(*args, std::make_index_sequence<S::arity>{});
  const auto late = [args, pointers](Variant result) { benchmark::DoNotOptimize(result); };
  const auto timed = [objects, prototype](auto call) {
    return [objects, prototype, call]() mutable {
      return per_call_on_copies(prototype, *objects, kBatch, call);
    };
  };
  return {std::string(prog_id),
          std::string(name),
          kind,
          timed([holders](T& object) {
            call_direct<Fn>(object, *holders, std::make_index_sequence<S::arity>{});
          }),
          timed([pointers, late, &cls, name, kind](T& object) {
            late(invoke(cls, &object, name, kind, *pointers));
          }),
          timed([pointers, late, &cls, id, kind](T& object) {
            late(invoke(cls, &object, id, kind, *pointers));
          })};
}

Variant text(std::string_view value) { return Variant(value); }

std::vector<BindingCase> cases() {
  using K = MemberKind;
  constexpr K M = K::Method, G = K::PropertyGet, L = K::PropertyLet;
  std::vector<BindingCase> all;

  const char* ac = "Vantrel.AutoComplete";
  all.push_back(member_case<&AutoComplete::EmbedAutoComplete>(
      AutoComplete(), ac, M, "EmbedAutoComplete",
      {text("State"), text("StateList"), Variant(true), Variant(true)}));

  const char* cl = "Vantrel.Calendar";
  Calendar cal;
  Variant date = text("2/14/2003");
  cal.LetActiveDate(date);
  all.push_back(member_case<&Calendar::LetImageURL>(cal, cl, L, "ImageURL", {text("cal.gif")}));
  all.push_back(member_case<&Calendar::GetImageURL>(cal, cl, G, "ImageURL"));
  all.push_back(
      member_case<&Calendar::LetActiveDate>(cal, cl, L, "ActiveDate", {text("2/14/2003")}));
  all.push_back(member_case<&Calendar::GetActiveDate>(cal, cl, G, "ActiveDate"));
  all.push_back(
      member_case<&Calendar::DisplayEmbedded>(cal, cl, M, "DisplayEmbedded", {text("cal1")}));
  all.push_back(member_case<&Calendar::DisplayPopup>(cal, cl, M, "DisplayPopup", {text("Start")}));

  const char* pm = "Vantrel.PopupMenu";
  PopupMenu menu;
  menu.AddMenuTitle("Section");
  menu.AddMenuItem("Open", "go()", "open.gif");
  all.push_back(
      member_case<&PopupMenu::LetBorderColor>(menu, pm, L, "BorderColor", {text("000000")}));
  all.push_back(
      member_case<&PopupMenu::LetWidth>(menu, pm, L, "Width", {Variant(std::int16_t{150})}));
  all.push_back(member_case<&PopupMenu::LetBGColor>(menu, pm, L, "BGColor", {text("e4e4e4")}));
  all.push_back(
      member_case<&PopupMenu::LetOnMouseOver>(menu, pm, L, "OnMouseOver", {text("over()")}));
  all.push_back(member_case<&PopupMenu::LetOnMouseOut>(menu, pm, L, "OnMouseOut", {text("out()")}));
  all.push_back(
      member_case<&PopupMenu::AddMenuTitle>(menu, pm, M, "AddMenuTitle", {text("Title")}));
  all.push_back(member_case<&PopupMenu::AddMenuItem>(
      menu, pm, M, "AddMenuItem", {text("Open"), text("go()"), text("open.gif")}));
  all.push_back(member_case<&PopupMenu::AddHorizontalRule>(menu, pm, M, "AddHorizontalRule",
                                                           {text("pixel.gif")}));
  all.push_back(member_case<&PopupMenu::EmbedPopupMenu>(menu, pm, M, "EmbedPopupMenu"));

  const char* pb = "Vantrel.ProgressBar";
  const ProgressBar bar;
  const auto number = [](std::int32_t n) { return Variant(n); };
  all.push_back(member_case<&ProgressBar::GetValue>(bar, pb, M, "GetValue"));
  all.push_back(member_case<&ProgressBar::LetMax>(bar, pb, L, "Max", {number(250)}));
  all.push_back(member_case<&ProgressBar::GetMax>(bar, pb, G, "Max"));
  all.push_back(member_case<&ProgressBar::LetColor>(bar, pb, L, "Color", {text("008000")}));
  all.push_back(member_case<&ProgressBar::GetColor>(bar, pb, G, "Color"));
  all.push_back(member_case<&ProgressBar::SetValue>(bar, pb, M, "SetValue", {number(50)}));
  all.push_back(
      member_case<&ProgressBar::Show>(bar, pb, M, "Show", {Variant(false), Variant(false)}));
  all.push_back(member_case<&ProgressBar::HideOutput>(bar, pb, M, "HideOutput", {Variant(false)}));

  const char* tb = "Vantrel.Tabs";
  const Tabs tabs = bench::tab_strip();
  const Variant n90(std::int16_t{90});
  all.push_back(member_case<&Tabs::LetIsVisible>(tabs, tb, L, "IsVisible", {Variant(true)}));
  all.push_back(member_case<&Tabs::GetTabName>(tabs, tb, G, "TabName"));
  all.push_back(member_case<&Tabs::LetTabName>(tabs, tb, L, "TabName", {text("Details")}));
  all.push_back(member_case<&Tabs::GetTabWidth>(tabs, tb, G, "TabWidth"));
  all.push_back(member_case<&Tabs::LetTabWidth>(tabs, tb, L, "TabWidth", {n90}));
  all.push_back(member_case<&Tabs::GetPanelWidth>(tabs, tb, G, "PanelWidth"));
  all.push_back(member_case<&Tabs::LetPanelWidth>(tabs, tb, L, "PanelWidth", {n90}));
  all.push_back(member_case<&Tabs::GetPanelHeight>(tabs, tb, G, "PanelHeight"));
  all.push_back(member_case<&Tabs::LetPanelHeight>(tabs, tb, L, "PanelHeight", {n90}));
  all.push_back(member_case<&Tabs::GetTabCount>(tabs, tb, G, "TabCount"));
  all.push_back(member_case<&Tabs::LetTabCount>(tabs, tb, L, "TabCount", {n90}));
  all.push_back(member_case<&Tabs::GetLayerColor>(tabs, tb, G, "LayerColor"));
  all.push_back(member_case<&Tabs::LetLayerColor>(tabs, tb, L, "LayerColor", {text("d0d0d0")}));
  all.push_back(member_case<&Tabs::GetJavaScriptOnClick>(tabs, tb, G, "JavaScriptOnClick"));
  all.push_back(member_case<&Tabs::LetJavaScriptOnClick>(tabs, tb, L, "JavaScriptOnClick",
                                                         {text("shown()")}));
  all.push_back(member_case<&Tabs::WriteTab>(tabs, tb, M, "WriteTab",
                                             {text("Overview"), text("overview.html")}));
  all.push_back(member_case<&Tabs::MoveNextLayerColor>(tabs, tb, M, "MoveNextLayerColor"));
  all.push_back(member_case<&Tabs::MovePreviousLayerColor>(tabs, tb, M, "MovePreviousLayerColor"));

  const char* tr = "Vantrel.Tree";
  Tree tree;
  tree.LetTextClass("menu");
  tree.Initialize();
  tree.WriteMenuHeader("Reports");
  all.push_back(member_case<&Tree::GetWidth>(tree, tr, G, "Width"));
  all.push_back(member_case<&Tree::LetWidth>(tree, tr, L, "Width", {text("200")}));
  all.push_back(member_case<&Tree::GetTextClass>(tree, tr, G, "TextClass"));
  all.push_back(member_case<&Tree::LetTextClass>(tree, tr, L, "TextClass", {text("menu")}));
  all.push_back(member_case<&Tree::GetExpandedImage>(tree, tr, G, "ExpandedImage"));
  all.push_back(
      member_case<&Tree::LetExpandedImage>(tree, tr, L, "ExpandedImage", {text("o.gif")}));
  all.push_back(member_case<&Tree::GetExpandAllImage>(tree, tr, G, "ExpandAllImage"));
  all.push_back(
      member_case<&Tree::LetExpandAllImage>(tree, tr, L, "ExpandAllImage", {text("p.gif")}));
  all.push_back(member_case<&Tree::GetCollapsedImage>(tree, tr, G, "CollapsedImage"));
  all.push_back(
      member_case<&Tree::LetCollapsedImage>(tree, tr, L, "CollapsedImage", {text("c.gif")}));
  all.push_back(member_case<&Tree::GetCollapseAllImage>(tree, tr, G, "CollapseAllImage"));
  all.push_back(
      member_case<&Tree::LetCollapseAllImage>(tree, tr, L, "CollapseAllImage", {text("m.gif")}));
  all.push_back(member_case<&Tree::WriteExpandCollapse>(tree, tr, M, "WriteExpandCollapse"));
  all.push_back(member_case<&Tree::Initialize>(tree, tr, M, "Initialize"));
  all.push_back(
      member_case<&Tree::WriteMenuHeader>(tree, tr, M, "WriteMenuHeader", {text("Menu")}));
  all.push_back(member_case<&Tree::WriteMenuFooter>(tree, tr, M, "WriteMenuFooter"));
  all.push_back(member_case<&Tree::WriteNode>(
      tree, tr, M, "WriteNode", {text("Stock"), text("stock.asp"), text("main"), text("")}));
  return all;
}

}  // namespace

void add_binding_rows(const Settings& settings, Table& table) {
  std::vector<BindingCase> all = cases();
  std::set<std::pair<std::string, std::string>> measured;
  Table by_id_rows;
  for (BindingCase& c : all) {
    std::vector<double> direct, name_over, id_over;
    for (int round = 0; round < settings.rounds; ++round) {
      // The three in turn, in the opposite order every other round, so that
      // what runs before a batch weighs on each alike.
      double d = 0, n = 0, i = 0;
      at_another_place(round, [&] {
        if (round % 2 == 0) {
          d = c.direct(), n = c.by_name(), i = c.by_id();
        } else {
          i = c.by_id(), n = c.by_name(), d = c.direct();
        }
      });
      direct.push_back(d);
      name_over.push_back(n - d);
      id_over.push_back(i - d);
    }
    const std::string what = c.prog_id.substr(c.prog_id.find('.') + 1) + "." + c.name + " (" +
                             std::string(kind_name(c.kind)) + ")";
    measured.emplace(c.prog_id, what);
    const double by_name = median(name_over), by_id = median(id_over);
    table.push_back({"Late binding by name", what,
                     format("direct %.1f ns, by name +%.1f ns", median(direct), by_name),
                     "<= +20 ns", by_name <= 20});
    by_id_rows.push_back({"Late binding by id", what,
                          format("direct %.1f ns, by id +%.1f ns", median(direct), by_id),
                          "<= +5 ns", by_id <= 5});
  }
  // Every member of every class is measured: one that is not shows as a miss.
  for (const ClassDescriptor& cls : vantrel_library().classes) {
    for (const Member& m : cls.members()) {
      const std::string what = std::string(cls.name) + "." + std::string(m.name) + " (" +
                               std::string(kind_name(m.kind)) + ")";
      if (!measured.contains({std::string(cls.prog_id), what})) {
        table.push_back({"Late binding by name", what, "not measured", "<= +20 ns", false});
      }
    }
  }
  table.insert(table.end(), by_id_rows.begin(), by_id_rows.end());
}

}  // namespace vantrel::goals
