#include "platform/windows/type_library_idl.h"

#include <cstdio>
#include <string_view>

namespace vantrel::windows {

namespace {

// widl needs IUnknown and IDispatch by name to parse the file and takes their
// definitions from stdole2.tlb (importlib below); these stand-ins replace the
// platform's own IDL files, which the cross toolchain does not ship. widl maps
// BSTR, VARIANT, VARIANT_BOOL and HRESULT to their automation types by name,
// and the stand-ins repeat the platform headers' own declarations, so that
// the header widl writes compiles beside them.
constexpr std::string_view kPreamble =
    "// The type library of vantrel.dll. Written from the member tables by\n"
    "// vantrel_write_idl (scripts/build-windows --write-idl): do not edit.\n"
    "\n"
    "typedef long HRESULT;\n"
    "typedef wchar_t* BSTR;\n"
    "typedef short VARIANT_BOOL;\n"
    "typedef struct tagVARIANT VARIANT;\n"
    "[object, local, uuid(00000000-0000-0000-C000-000000000046)] interface IUnknown { }\n"
    "[object, uuid(00020400-0000-0000-C000-000000000046)] interface IDispatch : IUnknown { }\n";

// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", as IDL writes an identifier.
std::string bare(const Guid& guid) {
  const std::string braced = to_string(guid);
  return braced.substr(1, braced.size() - 2);
}

std::string_view idl_type(ValueType type) {
  switch (type) {
    case ValueType::String:
      return "BSTR*";
    case ValueType::Integer:
      return "short*";
    case ValueType::Boolean:
      return "VARIANT_BOOL*";
    case ValueType::Variant:
      return "VARIANT*";
    case ValueType::None:
      break;
  }
  return "void";
}

void append_member(std::string& out, const Member& member) {
  char id[16];
  std::snprintf(id, sizeof id, "0x%08x", static_cast<unsigned>(member.id));
  out += "        [id(";
  out += id;
  out += ")";
  if (member.kind == MemberKind::PropertyGet) out += ", propget";
  if (member.kind == MemberKind::PropertyLet) out += ", propput";
  out += "] HRESULT ";
  out += member.name;
  out += "(";
  bool first = true;
  // Every parameter is passed by reference, in and out.
  for (const Param& param : member.params()) {
    if (!first) out += ", ";
    first = false;
    out += param.optional ? "[in, out, optional] " : "[in, out] ";
    out += idl_type(param.type);
    out += " ";
    out += param.name;
  }
  if (member.result != ValueType::None) {
    if (!first) out += ", ";
    out += "[out, retval] ";
    out += idl_type(member.result);
    out += " result";
  }
  out += ");\n";
}

}  // namespace

std::string type_library_idl(const LibraryDescriptor& library) {
  std::string out(kPreamble);
  char version[16];
  std::snprintf(version, sizeof version, "%u.%u", library.major_version, library.minor_version);
  char locale[16];
  std::snprintf(locale, sizeof locale, "0x%04x", library.locale);
  out += "\n[\n    uuid(" + bare(library.type_library) + "),\n    version(" + version +
         "),\n    lcid(" + locale + ")\n]\nlibrary " + std::string(library.name) +
         "\n{\n    importlib(\"stdole2.tlb\");\n";
  for (const ClassDescriptor& cls : library.classes) {
    out += "\n    [\n        uuid(" + bare(cls.iid) +
           "),\n        hidden,\n        nonextensible,\n        oleautomation,\n        dual\n"
           "    ]\n    interface " +
           std::string(cls.interface_name) + " : IDispatch\n    {\n";
    for (const Member& member : cls.members()) append_member(out, member);
    out += "    };\n\n    [\n        uuid(" + bare(cls.clsid) + ")\n    ]\n    coclass " +
           std::string(cls.name) + "\n    {\n        [default] interface " +
           std::string(cls.interface_name) + ";\n    };\n";
  }
  out += "};\n";
  return out;
}

}  // namespace vantrel::windows
