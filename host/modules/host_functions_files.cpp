// Host functions of containers, container files and time.
#include "host/files/timer.h"
#include "host/files/zokfile_functions.h"
#include "host/modules/container_functions.h"
#include "host/modules/host_functions.h"

namespace hf {

void* CreateContainer(const char* name, int32_t size) {
  return HostCreateContainer(name, size);
}
void* ContainerData(const char* name) {
  return HostContainerData(name);
}
int32_t ContainerSize(const char* name) {
  return HostContainerSize(name);
}
void DeleteContainer(const char* name) {
  HostDeleteContainer(name);
}
void SaveContainer(const char* name, const char* file_name) {
  HostSaveContainer(name, file_name);
}
void* LoadContainer(const char* name, const char* file_name, int32_t* size) {
  return HostLoadContainer(name, file_name, size);
}

void ZokFileBeginWrite(const char* file_name, int32_t format) {
  zokfile_entry::ZokFileBeginWrite(file_name, format);
}
void ZokFileBeginRead(const char* file_name, uint8_t* format) {
  zokfile_entry::ZokFileBeginRead(file_name, format);
}
void* ZokFileRead(int32_t* size) {
  return zokfile_entry::ZokFileRead(size);
}
void ZokFileWrite(int32_t size) {
  zokfile_entry::ZokFileWrite(size);
}
void ZokFileEnd(int32_t flag, const char* file_name) {
  zokfile_entry::ZokFileEnd(flag, file_name);
}
void* ZokFileWriteBuffer(int32_t* size) {
  return zokfile_entry::ZokFileWriteBuffer(size);
}
uint64_t ZokFileReadStamp() {
  return zokfile_entry::ZokFileReadStamp();
}

uint64_t RunStamp() {
  return HostRunStamp();
}
void RenewRunStamp() {
  HostRenewRunStamp();
}
float FrameTime() {
  return HostFrameTime();
}

}  // namespace hf
