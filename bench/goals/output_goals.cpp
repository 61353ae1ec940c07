// Every output method beside one copy and one allocation plus copy of as
// many bytes as it returns. "First" is the first call of an object (it
// carries the client script or the strip header), "later" any call after it.
#include <functional>
#include <string>
#include <vector>

#include "bench/goals/measure.h"
#include "bench/goals/table.h"
#include "bench/prepared_objects.h"
#include "components/autocomplete/autocomplete.h"
#include "components/calendar/calendar.h"
#include "components/popupmenu/popupmenu.h"
#include "components/progressbar/progressbar.h"
#include "components/tabs/tabs.h"
#include "components/tree/tree.h"

namespace vantrel::goals {
namespace {

// Calls per timed batch. A first call, or one that moves the object on, is
// made on its own copy of the prepared object (per_call_on_copies); a call
// that leaves its object as it was is made on one object throughout, as a
// page makes it.
constexpr std::size_t kBatch = 400;
enum class Objects { Fresh, Same };

struct OutputCase {
  std::string what;
  // size() calls the method once and returns the size of its output, and
  // time() calls it kBatch times and returns the nanoseconds per call. The
  // loop is made for each method, as the baselines' loops are, so that the
  // figure holds no call through a pointer that the baselines do not pay
  // (the outputs are freed, as a caller frees them).
  std::function<std::size_t()> size;
  std::function<double()> time;
};

template <class T, class Call>
OutputCase output_case(std::string what, T prototype, Call call, Objects kind = Objects::Fresh) {
  auto objects = std::make_shared<std::vector<T>>();
  return {std::move(what),
          [prototype, call]() mutable {
            T object = prototype;
            return call(object).size();
          },
          [objects, prototype, call, fresh = kind == Objects::Fresh]() mutable {
            const auto once = [&call](T& object) {
              std::string out = call(object);
              benchmark::DoNotOptimize(out.data());
            };
            if (fresh) return per_call_on_copies(prototype, *objects, kBatch, once);
            objects->assign(1, prototype);
            T& object = objects->front();
            return per_call_ns(kBatch, [&](std::size_t) { once(object); });
          }};
}

Calendar calendar() {
  Calendar cal;
  Variant date(std::string_view("2/14/2003"));
  cal.LetActiveDate(date);
  return cal;
}

template <class T, class Call>
T after(T object, Call call) {
  call(object);
  return object;
}

Tree tree() {
  Tree tree;
  tree.LetTextClass("menu");
  return tree;
}

PopupMenu menu(int rows) {
  PopupMenu menu;
  bench::add_menu_rows(menu, rows);
  return menu;
}

std::vector<OutputCase> cases() {
  const auto embed = [](AutoComplete& ac) {
    return ac.EmbedAutoComplete("State", "StateList", true, true);
  };
  // Arguments are made once, before the clock starts, as a caller holds
  // them: the figure is the method's, not the making of its arguments.
  const auto embedded = [name = Variant(std::string_view("cal1"))](Calendar& cal) mutable {
    return cal.DisplayEmbedded(name);
  };
  const auto popup = [name = Variant(std::string_view("StartDate"))](Calendar& cal) mutable {
    return cal.DisplayPopup(name);
  };
  const auto embed_menu = [](PopupMenu& m) { return m.EmbedPopupMenu(); };
  const auto write_tab = [name = Variant(std::string_view("Overview")),
                          url = Variant(std::string_view("overview.html"))](Tabs& tabs) mutable {
    return tabs.WriteTab(name, url);
  };
  const auto expand_collapse = [](Tree& t) { return t.WriteExpandCollapse(); };
  const auto initialize = [](Tree& t) { return t.Initialize(); };
  const auto header = [](Tree& t) { return t.WriteMenuHeader("Reports"); };
  const auto node = [](Tree& t) {
    return t.WriteNode("Stock levels", "reports/stock.asp", "main", "");
  };
  const auto node_image = [](Tree& t) {
    return t.WriteNode("Sales by region", "reports/sales.asp", "main", "/images/icons/chart.gif");
  };
  const auto footer = [](Tree& t) { return t.WriteMenuFooter(); };
  const auto show = [](bool hide) {
    return [during = Variant(hide), after_value = Variant(hide)](ProgressBar& b) mutable {
      return b.Show(during, after_value);
    };
  };
  const Tree started = after(tree(), initialize);
  return {
      output_case("AutoComplete.EmbedAutoComplete first", AutoComplete(), embed),
      output_case("AutoComplete.EmbedAutoComplete later", after(AutoComplete(), embed), embed,
                  Objects::Same),
      output_case("Calendar.DisplayEmbedded first", calendar(), embedded),
      output_case("Calendar.DisplayEmbedded later", after(calendar(), embedded), embedded,
                  Objects::Same),
      output_case("Calendar.DisplayPopup first", calendar(), popup),
      output_case("Calendar.DisplayPopup later", after(calendar(), popup), popup, Objects::Same),
      output_case("PopupMenu.EmbedPopupMenu 5 rows", menu(5), embed_menu, Objects::Same),
      output_case("PopupMenu.EmbedPopupMenu 50 rows", menu(50), embed_menu, Objects::Same),
      output_case("ProgressBar.Show", bench::configured_bar(), show(false), Objects::Same),
      output_case("ProgressBar.Show hiding both", bench::configured_bar(), show(true),
                  Objects::Same),
      output_case(
          "ProgressBar.SetValue", bench::configured_bar(),
          [value = Variant(std::int32_t{125})](ProgressBar& b) mutable {
            return b.SetValue(value);
          },
          Objects::Same),
      output_case(
          "ProgressBar.HideOutput", bench::configured_bar(),
          [hidden = Variant(false)](ProgressBar& b) mutable { return b.HideOutput(hidden); },
          Objects::Same),
      output_case("Tabs.WriteTab first", bench::tab_strip(), write_tab),
      output_case("Tabs.WriteTab later", after(bench::tab_strip(), write_tab), write_tab),
      output_case("Tree.WriteExpandCollapse first", tree(), expand_collapse),
      output_case("Tree.WriteExpandCollapse later", started, expand_collapse, Objects::Same),
      output_case("Tree.Initialize first", tree(), initialize),
      output_case("Tree.Initialize later", started, initialize, Objects::Same),
      output_case("Tree.WriteMenuHeader first", tree(), header),
      output_case("Tree.WriteMenuHeader later", started, header),
      output_case("Tree.WriteNode", after(started, header), node),
      output_case("Tree.WriteNode with image", after(started, header), node_image),
      output_case("Tree.WriteMenuFooter", after(started, header), footer, Objects::Same),
  };
}

}  // namespace

void add_output_rows(const Settings& settings, Table& table) {
  for (OutputCase& c : cases()) {
    const std::size_t bytes = c.size();
    CopyBaselines baselines(bytes);
    std::vector<double> method, copy, allocate_copy, ratio;
    for (int round = 0; round < settings.rounds; ++round) {
      // The method and its baselines in turn, the method first every other
      // round, so that what runs before a batch weighs on each alike.
      double m = 0, a = 0, k = 0;
      at_another_place(round, [&] {
        if (round % 2 == 0) {
          m = c.time(), a = baselines.allocate_and_copy_ns(kBatch), k = baselines.copy_ns(kBatch);
        } else {
          k = baselines.copy_ns(kBatch), a = baselines.allocate_and_copy_ns(kBatch), m = c.time();
        }
      });
      method.push_back(m);
      allocate_copy.push_back(a);
      copy.push_back(k);
      ratio.push_back(m / a);
    }
    const double r = median(ratio);
    const double limit = bytes >= 2048 ? 1.5 : 2.0;
    table.push_back({"Output methods", c.what,
                     format("%.0f ns for %zu B; memcpy %.0f ns, alloc+copy %.0f ns; %.2fx",
                            median(method), bytes, median(copy), median(allocate_copy), r),
                     format("<= %.1fx alloc+copy", limit), r <= limit});
  }
}

}  // namespace vantrel::goals
