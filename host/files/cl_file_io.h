// Zok-files: a 128-byte header (signature, variant, data size, MD5 digest,
// run stamp) followed by data that is written and read in chunks of at most
// 4096 bytes. A name beginning with '$' is a registered container, any
// other name a disk file next to the program. One file is open at a time.
//
// Every failure is a FatalError; whatever fails, the open file is closed
// and a disk file being written is dropped, so the file it would have
// replaced stays as it was.
//
// A long signed disk file is digested on a second thread while it is
// written; the thread ends with the file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

constexpr int32_t kZokChunkSize = 4096;
constexpr char kZokPlain = '0';
constexpr char kZokSigned = 's';  // the data carries an MD5 digest

// Starts a new file. A file left open is closed first.
void ZokFileBeginWrite(const std::string& name, char variant);
// A buffer of kZokChunkSize bytes (stored in size) for the next
// ZokFileWrite; asking again before that write gives the same buffer.
uint8_t* ZokFileWriteBuffer(int32_t& size);
// Appends the first n bytes of the buffer from ZokFileWriteBuffer.
void ZokFileWrite(int32_t n);

// Opens a file and checks its header (and for a signed disk file its
// digest); returns the variant. A file left open is closed first.
char ZokFileBeginRead(const std::string& name);
// The next chunk of data and its size; null and 0 at the end. The chunk
// stays valid until the next ZokFileRead or ZokFileEnd.
const uint8_t* ZokFileRead(int32_t& size);
// The stamp in the header of the file last opened for reading.
uint64_t ZokFileReadStamp();

// Finishes the open file. A container written with save set is also
// written to the disk file disk_name.
void ZokFileEnd(bool save, const std::string& disk_name);

// Where new headers take their run stamp from; until set, 0.
void SetZokFileStampSource(std::function<uint64_t()> source);
