// The zok-file host functions (entries 49 to 53, 55 and 69) with the
// signatures of the host function table.
#pragma once

#include <cstdint>

namespace zokfile_entry {

void ZokFileBeginWrite(const char* file_name, int32_t format);  // 49
void ZokFileBeginRead(const char* file_name, uint8_t* format);  // 50
void* ZokFileRead(int32_t* size);                               // 51
void ZokFileWrite(int32_t size);                                // 52
void ZokFileEnd(int32_t flag, const char* file_name);           // 53
void* ZokFileWriteBuffer(int32_t* size);                        // 55
uint64_t ZokFileReadStamp();                                    // 69

}  // namespace zokfile_entry
