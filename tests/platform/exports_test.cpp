// libvantrel.so through its four entry points and the runtime that loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/posix/com.h"
#include "platform/posix/runtime.h"

namespace vantrel::posix {
namespace {

const std::string kLibrary = VANTREL_LIBRARY_PATH;
constexpr const char* kProgIds[] = {"Vantrel.AutoComplete", "Vantrel.Calendar", "Vantrel.PopupMenu",
                                    "Vantrel.ProgressBar",  "Vantrel.Tabs",     "Vantrel.Tree"};

std::string canonical(const std::string& path) {
  std::unique_ptr<char, decltype(&free)> resolved(realpath(path.c_str(), nullptr), &free);
  return resolved.get();
}

// The library's entry points, as a loader sees them.
struct Exports {
  Exports() : handle(dlopen(kLibrary.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    EXPECT_NE(handle, nullptr) << dlerror();
    register_server = reinterpret_cast<DllRegisterServerFn>(dlsym(handle, "DllRegisterServer"));
    unregister_server =
        reinterpret_cast<DllUnregisterServerFn>(dlsym(handle, "DllUnregisterServer"));
    get_class_object = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    can_unload_now = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
  }
  ~Exports() { dlclose(handle); }
  void* handle;
  DllRegisterServerFn register_server;
  DllUnregisterServerFn unregister_server;
  DllGetClassObjectFn get_class_object;
  DllCanUnloadNowFn can_unload_now;
};

class Registration : public ::testing::Test {
 protected:
  void TearDown() override {
    exports.unregister_server();
    registry_remove_class(kOther.clsid);
  }
  Exports exports;
  const ClassRecord kOther{"Other.Thing",
                           make_guid("11111111-2222-3333-4444-555555555555"),
                           "_Thing",
                           {},
                           {},
                           1,
                           0,
                           "Apartment",
                           "/elsewhere/libother.so"};
};

TEST_F(Registration, RecordsEveryClassWithItsIdentityAndTheTypeLibrary) {
  ASSERT_EQ(exports.register_server(), result::kOk);
  const std::vector<ClassRecord> records = registry_classes();
  ASSERT_EQ(records.size(), 6u);
  for (const char* prog_id : kProgIds) {
    SCOPED_TRACE(prog_id);
    const auto record = registry_find_class(prog_id);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->prog_id, prog_id);
    EXPECT_EQ("Vantrel." + record->interface_name.substr(1), prog_id);
    EXPECT_NE(record->clsid, Guid{});
    EXPECT_NE(record->iid, Guid{});
    EXPECT_EQ(to_string(record->type_library), "{26FAA6BA-55FB-4EE8-BB58-75C95136A5D2}");
    EXPECT_EQ(record->major_version, 27);
    EXPECT_EQ(record->minor_version, 0);
    EXPECT_EQ(record->threading_model, "Apartment");
    EXPECT_EQ(record->server_path, canonical(kLibrary));
  }
  const auto libraries = registry_type_libraries();
  ASSERT_EQ(libraries.size(), 1u);
  EXPECT_EQ(libraries[0].name, "Vantrel");
  EXPECT_EQ(libraries[0].major_version, 27);
  EXPECT_EQ(libraries[0].locale, 0u);
  EXPECT_EQ(registry_find_class("VANTREL.calendar")->prog_id, "Vantrel.Calendar");
}

TEST_F(Registration, RegisteringAndUnregisteringAreIdempotentAndExact) {
  registry_put_class(kOther);
  ASSERT_EQ(exports.register_server(), result::kOk);
  const auto once = registry_classes();
  ASSERT_EQ(exports.register_server(), result::kOk);
  auto twice = registry_classes();
  EXPECT_EQ(twice.size(), 7u);
  for (const ClassRecord& record : once) {
    EXPECT_NE(std::find(twice.begin(), twice.end(), record), twice.end()) << record.prog_id;
  }
  EXPECT_EQ(registry_type_libraries().size(), 1u);

  ASSERT_EQ(exports.unregister_server(), result::kOk);
  ASSERT_EQ(exports.unregister_server(), result::kOk);
  const auto left = registry_classes();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0], kOther);
  EXPECT_TRUE(registry_type_libraries().empty());
}

class ClassObjects : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(exports.register_server(), result::kOk); }
  void TearDown() override { exports.unregister_server(); }
  Exports exports;
};

TEST_F(ClassObjects, EachClassIdHasAFactoryThatCreatesItsObjects) {
  for (const char* prog_id : kProgIds) {
    SCOPED_TRACE(prog_id);
    const Guid clsid = registry_find_class(prog_id)->clsid;
    void* pointer = nullptr;
    ASSERT_EQ(exports.get_class_object(&clsid, &kIidClassFactory, &pointer), result::kOk);
    auto* factory = static_cast<ClassFactory*>(pointer);
    void* object = nullptr;
    ASSERT_EQ(factory->create_instance(nullptr, kIidDispatch, &object), result::kOk);
    auto* dispatch = static_cast<Dispatch*>(object);
    EXPECT_EQ(dispatch->type_info()->prog_id, prog_id);
    void* same = nullptr;
    EXPECT_EQ(dispatch->query_interface(registry_find_class(prog_id)->iid, &same), result::kOk);
    EXPECT_EQ(same, object);
    static_cast<Dispatch*>(same)->release();
    EXPECT_EQ(dispatch->release(), 0u);
    factory->release();
  }
}

TEST_F(ClassObjects, AnythingElseIsRefusedCleanly) {
  const Guid unknown = make_guid("00000000-1111-2222-3333-444444444444");
  void* pointer = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(exports.get_class_object(&unknown, &kIidClassFactory, &pointer),
            result::kClassNotAvailable);
  EXPECT_EQ(pointer, nullptr);
  const Guid clsid = registry_find_class("Vantrel.Tabs")->clsid;
  EXPECT_EQ(exports.get_class_object(&clsid, &kIidClassFactory, nullptr), result::kPointer);
  EXPECT_EQ(exports.get_class_object(nullptr, &kIidClassFactory, &pointer),
            result::kInvalidArgument);
  EXPECT_EQ(exports.get_class_object(&clsid, &unknown, &pointer), result::kNoInterface);
  EXPECT_EQ(pointer, nullptr);

  ASSERT_EQ(exports.get_class_object(&clsid, &kIidUnknown, &pointer), result::kOk);
  auto* factory = static_cast<ClassFactory*>(pointer);
  void* object = nullptr;
  EXPECT_EQ(factory->create_instance(reinterpret_cast<Unknown*>(factory), kIidDispatch, &object),
            result::kNoAggregation);
  EXPECT_EQ(factory->create_instance(nullptr, unknown, &object), result::kNoInterface);
  EXPECT_EQ(object, nullptr);
  factory->release();
  EXPECT_EQ(exports.can_unload_now(), result::kOk) << "refused objects leave nothing alive";
}

TEST_F(ClassObjects, CanUnloadOnlyWithoutLiveObjectsOrLocks) {
  EXPECT_EQ(exports.can_unload_now(), result::kOk);
  Dispatch* object = nullptr;
  std::string error;
  ASSERT_EQ(create_object("vantrel.tree", &object, &error), result::kOk) << error;
  EXPECT_EQ(exports.can_unload_now(), result::kFalse);
  EXPECT_EQ(loaded_library_count(), 1u);
  free_unused_libraries();
  EXPECT_EQ(loaded_library_count(), 1u) << "a library with live objects stays loaded";
  object->release();
  EXPECT_EQ(exports.can_unload_now(), result::kOk);

  const Guid clsid = registry_find_class("Vantrel.Tree")->clsid;
  void* pointer = nullptr;
  ASSERT_EQ(exports.get_class_object(&clsid, &kIidClassFactory, &pointer), result::kOk);
  auto* factory = static_cast<ClassFactory*>(pointer);
  EXPECT_EQ(exports.can_unload_now(), result::kFalse) << "a held class object is a lock";
  factory->lock_server(true);
  factory->release();
  EXPECT_EQ(exports.can_unload_now(), result::kFalse);
  factory->lock_server(false);
  EXPECT_EQ(exports.can_unload_now(), result::kOk);
  free_unused_libraries();
  EXPECT_EQ(loaded_library_count(), 0u);

  // Unloaded, the library is found and loaded again for the next object.
  ASSERT_EQ(create_object("Vantrel.Tree", &object, &error), result::kOk) << error;
  EXPECT_EQ(loaded_library_count(), 1u);
  object->release();
  free_unused_libraries();
}

TEST_F(ClassObjects, CreatingAnUnknownClassFailsWithAReason) {
  Dispatch* object = nullptr;
  std::string error;
  EXPECT_EQ(create_object("Vantrel.Nothing", &object, &error), result::kInvalidClassString);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(error, "no class is registered as 'Vantrel.Nothing'");
}

TEST_F(ClassObjects, ObjectsAreCalledByNameWithErrorsAsExceptionInfo) {
  Dispatch* object = nullptr;
  std::string error;
  ASSERT_EQ(create_object("Vantrel.AutoComplete", &object, &error), result::kOk);
  DispId id = 0;
  ASSERT_EQ(object->get_id_of_name("embedautocomplete", &id), result::kOk);
  EXPECT_EQ(id, 0x60030002);
  EXPECT_EQ(object->get_id_of_name("Nothing", &id), result::kUnknownName);
  Variant a(std::string_view("F")), b(std::string_view("S")), yes(true), no(false);
  Variant* args[] = {&a, &b, &yes, &no};
  Variant result;
  ExceptionInfo info;
  ASSERT_EQ(object->invoke(id, MemberKind::Method, args, &result, &info), result::kOk);
  EXPECT_TRUE(
      result.string().ends_with("<INPUT TYPE=\"text\" NAME='F' VALUE='' "
                                "ONKEYUP='autoComplete(this,this.form.S, true, false)'>"));
  EXPECT_EQ(
      object->invoke(id, MemberKind::Method, std::span<Variant* const>(args, 3), &result, &info),
      result::kException);
  EXPECT_EQ(info.number, 450);
  EXPECT_EQ(info.source, "Vantrel.AutoComplete");
  EXPECT_EQ(info.description, "Wrong number of arguments or invalid property assignment");
  EXPECT_EQ(object->release(), 0u);
}

}  // namespace
}  // namespace vantrel::posix
