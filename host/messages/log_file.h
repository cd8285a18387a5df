// The UTF-16LE log file. Every entry ends with "\n\r" and is written over
// the last code unit of the file, so entries are separated by one line feed
// and only the last keeps its carriage return. A continuation overwrites
// the previous entry's "\n\r" and so extends that entry.
#pragma once

#include <string>

enum class LogWrite { NewEntry, Continuation };

// Writes text (which ends with "\n\r") into the log file at path, creating
// it with the byte-order mark. Throws std::runtime_error when the file
// cannot be written.
void WriteLogEntry(const std::string& path, const std::u16string& text, LogWrite kind);
