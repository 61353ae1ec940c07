#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "frame/guid.h"
#include "frame/library.h"
#include "frame/members.h"
#include "frame/variant.h"

// The binary interfaces between libvantrel.so, the runtime and the hosts that
// load it: reference-counted objects that answer for interfaces by id, class
// objects that create them, and late-bound dispatch. Both sides are built
// from the same frame, so frame values cross the boundary as they are; C++
// exceptions never do (every call returns a result code).
namespace vantrel::posix {

using HResult = std::int32_t;

namespace result {
inline constexpr HResult kOk = 0;
inline constexpr HResult kFalse = 1;  // "no", without failing
inline constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001);
inline constexpr HResult kNoInterface = static_cast<HResult>(0x80004002);
inline constexpr HResult kPointer = static_cast<HResult>(0x80004003);
inline constexpr HResult kFail = static_cast<HResult>(0x80004005);
inline constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000E);
inline constexpr HResult kInvalidArgument = static_cast<HResult>(0x80070057);
inline constexpr HResult kUnknownName = static_cast<HResult>(0x80020006);
inline constexpr HResult kException = static_cast<HResult>(0x80020009);
inline constexpr HResult kNoAggregation = static_cast<HResult>(0x80040110);
inline constexpr HResult kClassNotAvailable = static_cast<HResult>(0x80040111);
inline constexpr HResult kClassNotRegistered = static_cast<HResult>(0x80040154);
inline constexpr HResult kInvalidClassString = static_cast<HResult>(0x800401F3);
inline constexpr HResult kLibraryNotLoaded = static_cast<HResult>(0x8007007E);
inline constexpr HResult kEntryPointMissing = static_cast<HResult>(0x8007007F);
}  // namespace result

constexpr bool failed(HResult hr) { return hr < 0; }

// The interface ids the platform gives these three interfaces.
inline constexpr Guid kIidUnknown = make_guid("00000000-0000-0000-C000-000000000046");
inline constexpr Guid kIidClassFactory = make_guid("00000001-0000-0000-C000-000000000046");
inline constexpr Guid kIidDispatch = make_guid("00020400-0000-0000-C000-000000000046");

class Unknown {
 public:
  virtual HResult query_interface(const Guid& iid, void** out) = 0;
  virtual std::uint32_t add_ref() = 0;
  virtual std::uint32_t release() = 0;

 protected:
  ~Unknown() = default;  // released, never deleted by callers
};

class ClassFactory : public Unknown {
 public:
  virtual HResult create_instance(Unknown* outer, const Guid& iid, void** out) = 0;
  virtual HResult lock_server(bool lock) = 0;

 protected:
  ~ClassFactory() = default;
};

// What an automation error carries to the caller.
struct ExceptionInfo {
  std::int32_t number = 0;
  std::string source;
  std::string description;
};

class Dispatch : public Unknown {
 public:
  // The class of the object, with its member table: names, kinds, parameters.
  virtual const ClassDescriptor* type_info() = 0;
  virtual HResult get_id_of_name(std::string_view name, DispId* id) = 0;
  // On an automation error returns result::kException with `error` filled.
  virtual HResult invoke(DispId id, MemberKind kind, std::span<Variant* const> args,
                         Variant* result, ExceptionInfo* error) = 0;

 protected:
  ~Dispatch() = default;
};

}  // namespace vantrel::posix

// The four entry points of libvantrel.so.
extern "C" {
using DllRegisterServerFn = vantrel::posix::HResult (*)();
using DllUnregisterServerFn = vantrel::posix::HResult (*)();
using DllGetClassObjectFn = vantrel::posix::HResult (*)(const vantrel::Guid* clsid,
                                                        const vantrel::Guid* iid, void** out);
using DllCanUnloadNowFn = vantrel::posix::HResult (*)();
}
