// The portable parts of the Windows library, checked on every build machine:
// the committed type library source against the member tables, and the
// UTF-8/UTF-16 conversion of automation strings.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "components/catalog.h"
#include "platform/windows/type_library_idl.h"
#include "platform/windows/utf16.h"

namespace vantrel::windows {
namespace {

std::string read_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// vantrel.idl is what widl compiles into the DLL's type library; it must say
// exactly what the member tables say (names, kinds, ids, parameters, order).
TEST(TypeLibrarySource, IsWrittenFromTheMemberTables) {
  const std::string committed = read_file(VANTREL_IDL_PATH);
  ASSERT_FALSE(committed.empty()) << VANTREL_IDL_PATH;
  EXPECT_EQ(committed, type_library_idl(vantrel_library()))
      << "platform/windows/vantrel.idl differs from the member tables; "
         "rewrite it with scripts/build-windows --write-idl";
}

TEST(TypeLibrarySource, WritesEachKindOfMemberAndParameter) {
  const std::string idl = type_library_idl(vantrel_library());
  for (const char* line : {
           "    version(27.0),\n    lcid(0x0000)\n]\nlibrary Vantrel\n",
           "        hidden,\n        nonextensible,\n        oleautomation,\n        dual\n"
           "    ]\n    interface _Tree : IDispatch\n",
           "        [id(0x68030003), propput] HRESULT Width([in, out] short* NewWidth);\n",
           "        [id(0x68030000), propget] HRESULT ActiveDate([out, retval] VARIANT* result);\n",
           "        [id(0x6003000b)] HRESULT WriteNode([in, out] BSTR* NodeName, [in, out] BSTR* "
           "URI, [in, out] BSTR* Target, [in, out, optional] BSTR* ImagePath, [out, retval] BSTR* "
           "result);\n",
           "        [id(0x6003000c)] HRESULT MoveNextLayerColor();\n",
           "    coclass Tabs\n    {\n        [default] interface _Tabs;\n    };\n",
       }) {
    EXPECT_NE(idl.find(line), std::string::npos) << line;
  }
}

TEST(Utf16, ConvertsBothWays) {
  struct Case {
    std::u16string utf16;
    std::string utf8;
  };
  const Case cases[] = {
      {u"", ""},
      {u"plain\r\n", "plain\r\n"},
      {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
      {u"caf\u00e9 \u20ac", "caf\xC3\xA9 \xE2\x82\xAC"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      // Unpaired surrogates keep their own 3-byte form, so they come back.
      {std::u16string(1, char16_t(0xD800)), "\xED\xA0\x80"},
      {std::u16string(1, char16_t(0xDFFF)) + u"x", "\xED\xBF\xBFx"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8_from_utf16(c.utf16), c.utf8);
    EXPECT_EQ(utf16_from_utf8(c.utf8), c.utf16);
  }
}

TEST(Utf16, ReplacesBytesThatAreNotText) {
  const std::u16string replacement(1, char16_t(0xFFFD));
  for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xF4\x90\x80\x80", "\xFF"}) {
    EXPECT_EQ(utf16_from_utf8(bad)[0], replacement[0]) << bad;
  }
  EXPECT_EQ(utf16_from_utf8("a\xC3z"), u"a" + replacement + u"z");
}

}  // namespace
}  // namespace vantrel::windows
