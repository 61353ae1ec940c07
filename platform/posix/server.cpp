#include "platform/posix/server.h"

#include <new>
#include <vector>

#include "components/catalog.h"
#include "frame/automation_error.h"
#include "frame/dispatch.h"

namespace vantrel::posix {

ModuleCounts& module_counts() {
  static ModuleCounts counts;
  return counts;
}

DispatchObject::DispatchObject(const ClassDescriptor& cls)
    : cls_(cls), object_(cls.binding->create()) {
  ++module_counts().objects;
}

DispatchObject::~DispatchObject() {
  cls_.binding->destroy(object_);
  --module_counts().objects;
}

HResult DispatchObject::query_interface(const Guid& iid, void** out) {
  if (out == nullptr) return result::kPointer;
  if (iid == kIidUnknown || iid == kIidDispatch || iid == cls_.iid) {
    add_ref();
    *out = static_cast<Dispatch*>(this);
    return result::kOk;
  }
  *out = nullptr;
  return result::kNoInterface;
}

std::uint32_t DispatchObject::add_ref() { return ++references_; }

std::uint32_t DispatchObject::release() {
  const std::uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

HResult DispatchObject::get_id_of_name(std::string_view name, DispId* id) {
  if (id == nullptr) return result::kPointer;
  const auto found = find_dispatch_id(cls_, name);
  if (!found) return result::kUnknownName;
  *id = *found;
  return result::kOk;
}

HResult DispatchObject::invoke(DispId id, MemberKind kind, std::span<Variant* const> args,
                               Variant* result, ExceptionInfo* error) {
  for (Variant* arg : args) {
    if (arg == nullptr) return result::kPointer;
  }
  try {
    Variant value = vantrel::invoke(cls_, object_, id, kind, args);
    if (result != nullptr) *result = std::move(value);
    return result::kOk;
  } catch (const AutomationError& e) {
    if (error != nullptr) *error = {e.number(), e.source(), e.description()};
    return result::kException;
  } catch (const std::bad_alloc&) {
    if (error != nullptr) *error = {7, std::string(cls_.prog_id), "Out of memory"};
    return result::kOutOfMemory;
  }
}

HResult ClassObject::query_interface(const Guid& iid, void** out) {
  if (out == nullptr) return result::kPointer;
  if (iid == kIidUnknown || iid == kIidClassFactory) {
    add_ref();
    *out = static_cast<ClassFactory*>(this);
    return result::kOk;
  }
  *out = nullptr;
  return result::kNoInterface;
}

// A class object is static; a reference to it keeps the library loaded.
std::uint32_t ClassObject::add_ref() { return static_cast<std::uint32_t>(++module_counts().locks); }

std::uint32_t ClassObject::release() { return static_cast<std::uint32_t>(--module_counts().locks); }

HResult ClassObject::create_instance(Unknown* outer, const Guid& iid, void** out) {
  if (out == nullptr) return result::kPointer;
  *out = nullptr;
  if (outer != nullptr) return result::kNoAggregation;
  DispatchObject* object = nullptr;
  try {
    object = new DispatchObject(cls_);
  } catch (const std::bad_alloc&) {
    return result::kOutOfMemory;
  }
  const HResult hr = object->query_interface(iid, out);
  object->release();
  return hr;
}

HResult ClassObject::lock_server(bool lock) {
  if (lock) {
    ++module_counts().locks;
  } else {
    --module_counts().locks;
  }
  return result::kOk;
}

ClassObject* find_class_object(const Guid& clsid) {
  static std::vector<ClassObject> objects = [] {
    std::vector<ClassObject> list;
    for (const ClassDescriptor& cls : vantrel_library().classes) list.emplace_back(cls);
    return list;
  }();
  for (ClassObject& object : objects) {
    if (object.clsid() == clsid) return &object;
  }
  return nullptr;
}

}  // namespace vantrel::posix
