#include "components/tree/tree.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <tuple>
#include <utility>

#include "components/tree/tree_script.h"
#include "frame/checked_arithmetic.h"
#include "frame/output.h"

namespace vantrel {

std::string Tree::GetWidth() const { return Width; }
void Tree::LetWidth(std::string_view newWidth) { Width = newWidth; }
std::string Tree::GetTextClass() const { return TextClass; }
void Tree::LetTextClass(std::string_view NewTextClass) { TextClass = NewTextClass; }
std::string Tree::GetExpandedImage() const { return ExpandedImage; }
void Tree::LetExpandedImage(std::string_view NewExpandedImage) { ExpandedImage = NewExpandedImage; }
std::string Tree::GetExpandAllImage() const { return ExpandAllImage; }
void Tree::LetExpandAllImage(std::string_view NewExpandAllImage) {
  ExpandAllImage = NewExpandAllImage;
}
std::string Tree::GetCollapsedImage() const { return CollapsedImage; }
void Tree::LetCollapsedImage(std::string_view NewCollapsedImage) {
  CollapsedImage = NewCollapsedImage;
}
std::string Tree::GetCollapseAllImage() const { return CollapseAllImage; }
void Tree::LetCollapseAllImage(std::string_view NewCollapseAllImage) {
  CollapseAllImage = NewCollapseAllImage;
}

namespace {

// The script's folder paths, in the order it holds them.
constexpr std::array<std::string_view, 7> script_images(std::string_view expanded,
                                                        std::string_view collapsed) {
  return {expanded, collapsed, expanded, expanded, collapsed, expanded, collapsed};
}

// The script for the images a tree starts with, filled when the library is
// compiled: most pages keep those images, and their first output copies the
// script whole.
constexpr auto kDefaultScriptImages =
    script_images(Tree::kDefaultExpandedImage, Tree::kDefaultCollapsedImage);
constexpr std::string_view kTreeScriptWithDefaultImages =
    filled_text<kTreeScript, kDefaultScriptImages>;

// How often the script holds each path.
constexpr std::size_t times_in_script(std::string_view which) {
  return static_cast<std::size_t>(
      std::ranges::count(script_images("expanded", "collapsed"), which));
}

}  // namespace

// Counted when the library is compiled: summing the seven paths' sizes per
// call was compiled to stores and reloads, 14 ns of a 35 ns first output.
std::size_t Tree::ScriptSize() const {
  constexpr std::size_t kExpanded = times_in_script("expanded");
  constexpr std::size_t kCollapsed = times_in_script("collapsed");
  return kTreeScript.fixed_size + kExpanded * ExpandedImage.size() +
         kCollapsed * CollapsedImage.size();
}

void Tree::WriteScript(Output& out) const {
  if (ExpandedImage == kDefaultExpandedImage && CollapsedImage == kDefaultCollapsedImage) {
    out.add_block(kTreeScriptWithDefaultImages);
    return;
  }
  std::apply([&out](const auto&... images) { out.fill<kTreeScript>(images...); },
             script_images(ExpandedImage, CollapsedImage));
}

// The script on its own, as often as it is asked for.
std::string Tree::Initialize() { return StartOutputWithScript(0).take(); }

// The script goes straight into the call's own output, ahead of its markup.
Output Tree::StartOutput(std::size_t markup) {
  if (ScriptWritten) return Output(markup);
  return StartOutputWithScript(markup);
}

Output Tree::StartOutputWithScript(std::size_t markup) {
  Output out(ScriptSize() + markup);
  WriteScript(out);
  ScriptWritten = true;
  return out;
}

std::string Tree::WriteExpandCollapse() {
  Output out =
      StartOutput(kTreeExpandCollapse.fixed_size + CollapseAllImage.size() + ExpandAllImage.size());
  out.fill<kTreeExpandCollapse>(CollapseAllImage, ExpandAllImage);
  return std::move(out).take();
}

std::string Tree::WriteMenuHeader(std::string_view MenuName) {
  const std::int16_t number = add16(MenuCount, 1);
  const Decimal N(number);
  Output out = StartOutput(kTreeMenuHeader.fixed_size + 7 * N.view().size() + Width.size() +
                           CollapsedImage.size() + TextClass.size() + MenuName.size());
  out.fill<kTreeMenuHeader>(N, Width, N, CollapsedImage, N, N, N, N, N, TextClass, MenuName);
  MenuCount = number;
  return std::move(out).take();
}

std::string Tree::WriteMenuFooter() {
  Output out = StartOutput(kTreeMenuFooter.size());
  out.add(kTreeMenuFooter);
  return std::move(out).take();
}

std::string Tree::WriteNode(std::string_view NodeName, std::string_view URI,
                            std::string_view Target, std::string_view ImagePath) {
  // The id of every node of menu N is "node" and N + 1, in the menu number's
  // own 16-bit range: there is none for the nodes of menu 32767.
  const Decimal node_id(add16(MenuCount, 1));
  const std::size_t link =
      node_id.view().size() + Target.size() + URI.size() + TextClass.size() + NodeName.size();
  if (ImagePath.empty()) {
    Output out = StartOutput(kTreeNode.fixed_size + link);
    out.fill<kTreeNode>(node_id, Target, URI, TextClass, NodeName);
    return std::move(out).take();
  }
  Output out = StartOutput(kTreeNodeWithImage.fixed_size + link + Target.size() + URI.size() +
                           ImagePath.size());
  out.fill<kTreeNodeWithImage>(Target, URI, ImagePath, node_id, Target, URI, TextClass, NodeName);
  return std::move(out).take();
}

}  // namespace vantrel
