#include "components/catalog.h"

#include "components/autocomplete/autocomplete.h"
#include "components/calendar/calendar.h"
#include "components/popupmenu/popupmenu.h"
#include "components/progressbar/progressbar.h"
#include "components/tabs/tabs.h"
#include "components/tree/tree.h"

namespace vantrel {

namespace {

// The library's globally unique identifiers, chosen once: the type library,
// then for each class its class id and the id of its default interface.
// They never change; registrations and compiled callers depend on them.
// The tables are constant-initialized (constinit), so code that runs before
// main, in any translation unit, can already look classes up.
constexpr Guid kTypeLibraryId = make_guid("26FAA6BA-55FB-4EE8-BB58-75C95136A5D2");

constinit const ClassDescriptor kClasses[] = {
    {"AutoComplete", "Vantrel.AutoComplete", make_guid("FA3A9B2E-8EB0-46FC-BBA5-F189ABF708F9"),
     "_AutoComplete", make_guid("4FE20989-E918-4D44-9B55-405AB51F5B9F"), &kAutoCompleteBinding},
    {"Calendar", "Vantrel.Calendar", make_guid("1A5A97ED-AEE9-487F-8B80-5A6FA5A565C7"), "_Calendar",
     make_guid("30E0AB45-174C-4C21-BFA2-539D7FEBB665"), &kCalendarBinding},
    {"PopupMenu", "Vantrel.PopupMenu", make_guid("9E68A29A-2D92-47F3-8485-873C00FB9EFA"),
     "_PopupMenu", make_guid("F423D39F-0FF6-472C-99B7-BDB7731F5304"), &kPopupMenuBinding},
    {"ProgressBar", "Vantrel.ProgressBar", make_guid("451DE74E-D4B3-4782-A849-BE1AF3DE7AFD"),
     "_ProgressBar", make_guid("69F613D7-74A4-4FDF-82E4-861AA953982D"), &kProgressBarBinding},
    {"Tabs", "Vantrel.Tabs", make_guid("2606D620-7A98-469D-A92F-41D71CE293BF"), "_Tabs",
     make_guid("5BD77ADE-08A9-42E8-9AF3-DDBF66A4C021"), &kTabsBinding},
    {"Tree", "Vantrel.Tree", make_guid("CD947689-B6F5-4656-93EF-5918626F74EE"), "_Tree",
     make_guid("23B55EDB-1F43-4AC8-A768-0FF49F500364"), &kTreeBinding},
};

constinit const LibraryDescriptor kLibrary{
    .name = "Vantrel",
    .type_library = kTypeLibraryId,
    .major_version = 27,
    .minor_version = 0,
    .locale = 0,
    .threading_model = "Apartment",
    .classes = kClasses,
};

}  // namespace

const LibraryDescriptor& vantrel_library() { return kLibrary; }

}  // namespace vantrel
