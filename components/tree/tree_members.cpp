#include "components/tree/tree.h"

namespace vantrel {

namespace {
constexpr Member kMembers[] = {
    property_get<&Tree::GetWidth>("Width", 0x68030005),
    property_let<&Tree::LetWidth>("Width", 0x68030005, "newWidth"),
    property_get<&Tree::GetTextClass>("TextClass", 0x68030004),
    property_let<&Tree::LetTextClass>("TextClass", 0x68030004, "NewTextClass"),
    property_get<&Tree::GetExpandedImage>("ExpandedImage", 0x68030003),
    property_let<&Tree::LetExpandedImage>("ExpandedImage", 0x68030003, "NewExpandedImage"),
    property_get<&Tree::GetExpandAllImage>("ExpandAllImage", 0x68030002),
    property_let<&Tree::LetExpandAllImage>("ExpandAllImage", 0x68030002, "NewExpandAllImage"),
    property_get<&Tree::GetCollapsedImage>("CollapsedImage", 0x68030001),
    property_let<&Tree::LetCollapsedImage>("CollapsedImage", 0x68030001, "NewCollapsedImage"),
    property_get<&Tree::GetCollapseAllImage>("CollapseAllImage", 0x68030000),
    property_let<&Tree::LetCollapseAllImage>("CollapseAllImage", 0x68030000, "NewCollapseAllImage"),
    method<&Tree::WriteExpandCollapse>("WriteExpandCollapse", 0x60030007),
    method<&Tree::Initialize>("Initialize", 0x60030008),
    method<&Tree::WriteMenuHeader>("WriteMenuHeader", 0x60030009, {"MenuName"}),
    method<&Tree::WriteMenuFooter>("WriteMenuFooter", 0x6003000a),
    // ImagePath may be left out: the node is then written without an image.
    method<&Tree::WriteNode>("WriteNode", 0x6003000b, {"NodeName", "URI", "Target", "ImagePath"},
                             3),
};
}  // namespace

constinit const ClassBinding kTreeBinding = bind_class<Tree>(kMembers);

}  // namespace vantrel
