#pragma once

#include <cstdint>
#include <string>

// Reads a whole file into memory; fails with an EFileError naming the file and the reason.
std::string ReadWholeFile(const std::string& path);

// Reads a whole file unless it is larger than maxSize bytes; returns false (and reads nothing)
// for a larger one. Fails with an EFileError when the file cannot be opened or read.
bool ReadWholeFileLimited(const std::string& path, std::uint64_t maxSize, std::string& content);

// Writes the file so that no reader ever sees it partly written: a temporary file in the same
// folder is written, flushed to disk and renamed over the target. On failure the previous file
// stays as it was and an EFileError is thrown.
void WriteFileAtomically(const std::string& path, const std::string& content);

// Whether an entry of any kind exists at the path (links followed).
bool PathExists(const std::string& path);
