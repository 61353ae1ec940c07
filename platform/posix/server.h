#pragma once

#include <atomic>
#include <cstdint>

#include "frame/library.h"
#include "platform/posix/com.h"

// The server side of libvantrel.so: its objects, its class objects and the
// counts that tell whether it can be unloaded.
namespace vantrel::posix {

// Live objects and server locks (class objects held by callers count as
// locks). The library can be unloaded when both are zero.
struct ModuleCounts {
  std::atomic<long> objects{0};
  std::atomic<long> locks{0};
};
ModuleCounts& module_counts();

// An object of one of the library's classes, called by name or dispatch id.
class DispatchObject final : public Dispatch {
 public:
  explicit DispatchObject(const ClassDescriptor& cls);
  ~DispatchObject();
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  HResult query_interface(const Guid& iid, void** out) override;
  std::uint32_t add_ref() override;
  std::uint32_t release() override;
  const ClassDescriptor* type_info() override { return &cls_; }
  HResult get_id_of_name(std::string_view name, DispId* id) override;
  HResult invoke(DispId id, MemberKind kind, std::span<Variant* const> args, Variant* result,
                 ExceptionInfo* error) override;

 private:
  const ClassDescriptor& cls_;
  void* object_;
  std::atomic<std::uint32_t> references_{1};
};

// The class object (factory) of one class; one static instance per class.
class ClassObject final : public ClassFactory {
 public:
  explicit ClassObject(const ClassDescriptor& cls) : cls_(cls) {}

  HResult query_interface(const Guid& iid, void** out) override;
  std::uint32_t add_ref() override;
  std::uint32_t release() override;
  HResult create_instance(Unknown* outer, const Guid& iid, void** out) override;
  HResult lock_server(bool lock) override;
  const Guid& clsid() const { return cls_.clsid; }

 private:
  const ClassDescriptor& cls_;
};

// The class object for a class id, or nullptr for an id that is not ours.
ClassObject* find_class_object(const Guid& clsid);

}  // namespace vantrel::posix
