// Late binding against the direct C++ call, for every member of every class:
// the same member with the same values, called directly (the values already
// converted to the member's types), by name and by dispatch id.
#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <set>
#include <span>
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

// The nanoseconds per call of the three ways of calling a member.
struct CallTimes {
  double direct = 0, by_name = 0, by_id = 0;
};

struct BindingCase {
  std::string prog_id;
  std::string name;
  MemberKind kind;
  // Times a batch of each way of calling, in turn (in the opposite order
  // when `reversed`, so that what runs before a group weighs on each alike).
  std::function<CallTimes(bool reversed)> time;
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

// The values a batch passes, on the stack of the round that times it: the
// stack moves from round to round (see at_another_place), so the arguments
// lie at a different place against the object and the result every round, as
// the result does, where values made once would keep one place for the run.
template <auto Fn, std::size_t... I>
struct BatchValues {
  using S = binding::Signature<decltype(Fn)>;
  explicit BatchValues(const std::vector<Variant>& values) {
    std::copy(values.begin(), values.end(), args.begin());
    for (std::size_t i = 0; i < values.size(); ++i) pointers[i] = &args[i];
    (ArgOf<std::tuple_element_t<I, typename S::Args>>::convert(args[I], std::get<I>(holders)), ...);
  }
  BatchValues(const BatchValues&) = delete;
  BatchValues& operator=(const BatchValues&) = delete;
  std::span<Variant* const> late() const { return {pointers.data(), sizeof...(I)}; }

  std::array<Variant, kMaxParams> args;
  std::array<Variant*, kMaxParams> pointers{};
  std::tuple<typename ArgOf<std::tuple_element_t<I, typename S::Args>>::Holder...> holders;
};

template <auto Fn, std::size_t... I>
BindingCase member_case_of(const typename binding::Signature<decltype(Fn)>::Class& prototype,
                           std::string_view prog_id, MemberKind kind, std::string_view name,
                           std::vector<Variant> given, std::index_sequence<I...> places) {
  using T = typename binding::Signature<decltype(Fn)>::Class;
  using Values = BatchValues<Fn, I...>;
  const ClassDescriptor& cls = *vantrel_library().find_class(prog_id);
  const DispId id = *find_dispatch_id(cls, name);
  auto objects = std::make_shared<std::vector<T>>();
  auto shared_values = std::make_shared<const std::vector<Variant>>(std::move(given));
  const auto time = [objects, prototype, shared_values, places, &cls, name, id,
                     kind](bool reversed) {
    Values values(*shared_values);
    const auto late = [](Variant result) { benchmark::DoNotOptimize(result); };
    auto direct = [&](T& object) { call_direct<Fn>(object, values.holders, places); };
    auto by_name = [&](T& object) { late(invoke(cls, &object, name, kind, values.late())); };
    auto by_id = [&](T& object) { late(invoke(cls, &object, id, kind, values.late())); };
    if (reversed) {
      const auto [i, n, d] =
          per_call_on_copies_in_turn(prototype, *objects, kBatch, by_id, by_name, direct);
      return CallTimes{d, n, i};
    }
    const auto [d, n, i] =
        per_call_on_copies_in_turn(prototype, *objects, kBatch, direct, by_name, by_id);
    return CallTimes{d, n, i};
  };
  return {std::string(prog_id), std::string(name), kind, time};
}

template <auto Fn>
BindingCase member_case(const typename binding::Signature<decltype(Fn)>::Class& prototype,
                        std::string_view prog_id, MemberKind kind, std::string_view name,
                        std::vector<Variant> values = {}) {
  return member_case_of<Fn>(prototype, prog_id, kind, name, std::move(values),
                            std::make_index_sequence<binding::Signature<decltype(Fn)>::arity>{});
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
      CallTimes t;
      at_another_place(round, [&] { t = c.time(round % 2 == 1); });
      direct.push_back(t.direct);
      name_over.push_back(t.by_name - t.direct);
      id_over.push_back(t.by_id - t.direct);
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
