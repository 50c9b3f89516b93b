// The layout of the output file, shared by its writers and its readers: the
// readers find their place by the section line's first four characters and
// skip the lines the writers put around the table, so both take their texts
// and counts from here.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace OutputLayout {

inline constexpr const char* FirstLine = "RESULTS OF Tolvane PROGRAM";
inline constexpr const char* InputNameLabel = "Name of input file used: ";
// Lines 1 and 2 come before the titles; line 13 is the section line.
inline constexpr int TitleLine1 = 3;
inline constexpr int SectionLine = 13;

inline constexpr const char* ReconstructionSection = "RECONSTRUCTION:";
inline constexpr const char* PredictionSection = "PREDICTION runoff:";
// The tag that marks a variant: the first four characters of its section line.
inline std::string SectionTag(const char* section) { return std::string(section, 4); }

// Lines 14 on, between the section line and the table.
inline const std::array<std::string, 5> ReconstructionHead = {
    std::string(55, '-'),
    "Serial    Time      Rain    Recharge   Runoff    Runoff",
    " No.                         calc.     meas.     calc. ",
    std::string(10, ' '),
    std::string(55, '-')};
inline const std::array<std::string, 4> PredictionHead = {
    std::string(46, '-'), "Serial    Time   Rain/Irr  Recharge    Runoff ",
    std::string(8, ' ') + "   t       mm/t      mm/t       mm/t ", std::string(48, '-')};

// After the table: a rule, and in a reconstruction the two statistics lines.
inline const std::string ReconstructionRule(64, '-');
inline const std::string PredictionRule(47, '-');
inline constexpr const char* SdLabel = "Stand. dev. of diff. calc. from meas. runoff:";
inline constexpr const char* RSquareLabel = "Coefficient of explanation (R square) is    :";
inline constexpr int ReconstructionTrailer = 3;  // the rule, SD and R square
inline constexpr int PredictionTrailer = 1;      // the rule

// Values after the serial in a table line: time, rain, recharge, measured
// and calculated runoff; or time, rain, recharge, runoff.
inline constexpr int ReconstructionValues = 5;
inline constexpr int PredictionValues = 4;

inline constexpr std::size_t Length(const char* text) { return std::string_view(text).size(); }

}  // namespace OutputLayout
