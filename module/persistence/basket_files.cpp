#include "module/persistence/basket_files.h"

#include "module/persistence/basket_reader.h"
#include "module/persistence/basket_writer.h"
#include "module/persistence/host_basket_io.h"

void SaveObjectGraph(TWordStream& stream, TTrulyPersistent& root, const std::string& file_name,
                     int32_t kind) {
  try {
    BeginSave(stream, file_name, kind, root.PersistentClass().Name);
    WriteObjectReference(&root);
    EndSave();
  } catch (...) {
    AbandonSave();
    throw;
  }
}

TTrulyPersistent* LoadObjectGraph(TWordStream& stream, const std::string& file_name,
                                  const std::string& class_name) {
  try {
    BeginLoad(stream, file_name, class_name);
    TTrulyPersistent* root = ReadRootObject();
    EndLoad();
    return root;
  } catch (...) {
    AbandonLoad();
    throw;
  }
}

void SaveObjectGraph(TTrulyPersistent& root, const std::string& file_name, int32_t kind) {
  SaveObjectGraph(ModuleBasket(), root, file_name, kind);
}

TTrulyPersistent* LoadObjectGraph(const std::string& file_name, const std::string& class_name) {
  return LoadObjectGraph(ModuleBasket(), file_name, class_name);
}
