#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "frame/library.h"
#include "platform/windows/system.h"

// The library's objects as the platform's component object model sees them:
// one dual interface per class (IDispatch, then one slot per member of the
// class's member table, in slot order), answered by the frame's one
// late-binding path; the class objects that create them; and the counts that
// tell whether the library can be unloaded.
namespace vantrel::windows {

// Live objects and server locks (class objects held by callers count as
// locks). The library can be unloaded when both are zero.
struct ModuleCounts {
  std::atomic<long> objects{0};
  std::atomic<long> locks{0};
};
ModuleCounts& module_counts();

// The most members an interface can have; a longer member table gets
// E_NOTIMPL in the slots past this one.
inline constexpr std::size_t kMaxSlots = 32;

// Creates an object of class `cls` and asks it for interface `iid`.
HRESULT create_object(const ClassDescriptor& cls, REFIID iid, void** out);

// The class object (factory) of one class. Class objects are static: a
// reference to one keeps the library loaded.
class ClassObject final : public IClassFactory {
 public:
  explicit ClassObject(const ClassDescriptor& cls) : cls_(cls) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

  const ClassDescriptor& descriptor() const { return cls_; }

 private:
  const ClassDescriptor& cls_;
};

GUID to_guid(const Guid& guid);

// The full path of the file this code was loaded from: the library (or the
// test program that links the adapter in).
std::wstring own_module_path();

}  // namespace vantrel::windows
