#pragma once

#include <string>
#include <string_view>

// The Russian display name of an FB2 genre code. The code is matched ignoring the case of the
// ASCII letters and nothing else (no trimming); a code that is not in the table is returned
// unchanged, so an unknown code shows as itself.
std::string GenreName(std::string_view code);

// The fixed table, in its order: 112 pairs of code and display name.
struct TGenreEntry
{
    const char* Code;
    const char* Name;
};
constexpr int GenreCount = 112;
extern const TGenreEntry GenreTable[GenreCount];
