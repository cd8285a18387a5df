// Picture host functions: decoding a named container into a pixel buffer
// in two calls (size first, pixels second) and encoding a buffer into a
// picture file. One picture is decoded at a time.
#pragma once

#include <cstdint>

class TContainer;

// Reports the picture's size and pixel layout; a decode left unfinished is
// dropped. A container that cannot be decoded is freed and unregistered.
void HostStartDecodingPicture(const char* container_name, int32_t* width, int32_t* height,
                              int32_t* mode);
// Fills buffer (width × height × bytes per pixel) and ends the decode.
void HostFinishDecodingPicture(void* buffer);
// Writes the buffer as a picture file chosen by the name's extension; the
// file is replaced whole or not at all.
void HostEncodePicture(const char* file_name, const void* buffer, int32_t width, int32_t height,
                       int32_t mode);

// Drops a decode left unfinished in container, before the container's
// chunks are freed or replaced.
void AbandonDecodeOf(const TContainer& container);

// For tests: whether a decode is between its start and its finish.
bool PictureDecodePending();
