#include "components/tree/tree.h"

#include "components/not_implemented.h"

namespace vantrel {

std::string Tree::GetWidth() const { raise_not_implemented(); }
void Tree::LetWidth(std::string_view) { raise_not_implemented(); }
std::string Tree::GetTextClass() const { raise_not_implemented(); }
void Tree::LetTextClass(std::string_view) { raise_not_implemented(); }
std::string Tree::GetExpandedImage() const { raise_not_implemented(); }
void Tree::LetExpandedImage(std::string_view) { raise_not_implemented(); }
std::string Tree::GetExpandAllImage() const { raise_not_implemented(); }
void Tree::LetExpandAllImage(std::string_view) { raise_not_implemented(); }
std::string Tree::GetCollapsedImage() const { raise_not_implemented(); }
void Tree::LetCollapsedImage(std::string_view) { raise_not_implemented(); }
std::string Tree::GetCollapseAllImage() const { raise_not_implemented(); }
void Tree::LetCollapseAllImage(std::string_view) { raise_not_implemented(); }
std::string Tree::WriteExpandCollapse() { raise_not_implemented(); }
std::string Tree::Initialize() { raise_not_implemented(); }
std::string Tree::WriteMenuHeader(std::string_view) { raise_not_implemented(); }
std::string Tree::WriteMenuFooter() { raise_not_implemented(); }
std::string Tree::WriteNode(std::string_view, std::string_view, std::string_view,
                            std::string_view) {
  raise_not_implemented();
}

}  // namespace vantrel
