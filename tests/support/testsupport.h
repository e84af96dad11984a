#pragma once

#include <QString>
#include <string>

// The folder of the small fixture files under tests/data.
inline std::string TestData(const std::string& name) { return std::string(LIRVEL_TEST_DATA) + "/" + name; }

// Writes a file with exactly these bytes, creating its folder.
void WriteTestFile(const std::string& path, const std::string& content);
// Reads a whole file.
std::string ReadTestFile(const std::string& path);
