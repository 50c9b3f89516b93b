// What each fuzz target does with one input; the regression test replays
// the inputs the fuzzers found through the same functions.
#pragma once

#include <cstddef>
#include <cstdint>

// The input file readers: "Open input", then both runs on the same file.
void FuzzInputFile(const std::uint8_t* data, std::size_t size);

// The output file readers: the Output tab's lines, the head, and every graph
// kind read and drawn onto a canvas that only counts.
void FuzzOutputFile(const std::uint8_t* data, std::size_t size);
