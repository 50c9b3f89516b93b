#include "files/outputreader.h"

#include <utility>

#include "files/outputlayout.h"
#include "files/textreader.h"

namespace L = OutputLayout;

std::string OutputLinesOpenFailureText(const std::string& path) {
  return "The file \"" + path + "\" could not be opened.  It may be damaged," +
         "  not created due to inadequate input data," + "  in use by another program.";
}

std::string ResultsOpenFailureText(const std::string& path) {
  return "The file \"" + path + "\"could not be opened." +
         " It may be damaged,  not created due to inadequate" +
         "input data, or in use by another program.";
}

namespace {

// Moves past the section line whose first four characters are tag. The
// search starts after the two title lines, so that a title beginning with
// the same letters cannot stop it; false at the end of the file.
bool FindSection(TTextReader& reader, const std::string& tag) {
  for (int line = 1; line < L::TitleLine1 + 2; ++line) reader.SkipLine();
  std::string t = "    ";
  while (t != tag) {
    if (reader.Eof()) return false;
    t = reader.ReadChars(4);
    reader.SkipLine();
  }
  return true;
}

// Lines left from the reader's place to the end of the file.
int CountLines(TTextReader reader) {
  int n = 0;
  while (!reader.Eof()) {
    reader.SkipLine();
    ++n;
  }
  return n;
}

}  // namespace

std::vector<std::string> ReadOutputLines(std::string content) {
  TTextReader reader(std::move(content));
  std::vector<std::string> lines;
  while (!reader.Eof()) lines.push_back(reader.ReadLine());
  return lines;
}

TResultsHead ReadResultsHeadText(std::string content) {
  TTextReader reader(std::move(content));
  TResultsHead head;
  for (int line = 1; line < L::TitleLine1; ++line) reader.SkipLine();
  head.Title1 = reader.ReadLine();
  head.Title2 = reader.ReadLine();
  // Lines 5 to 13: the tag ends as the start of the section line.
  for (int line = L::TitleLine1 + 2; line <= L::SectionLine; ++line) {
    head.Tag = reader.ReadChars(4);
    reader.SkipLine();
  }
  return head;
}

TResultsParameters ReadResultsParameters(std::string content) {
  TTextReader reader(std::move(content));
  for (int line = 1; line < L::TitleLine1 + 4; ++line) reader.SkipLine();
  // The labels of the two variants differ in width; each ends with a colon.
  auto value = [&reader]() {
    const std::string line = reader.ReadLine();
    const auto colon = line.find(':');
    if (colon == std::string::npos || line.find_first_not_of(" \t", colon + 1) == std::string::npos)
      throw TInvalidNumber();
    return TTextReader(line.substr(colon + 1));
  };
  TResultsParameters p;
  p.Store.MaxSto = value().ReadReal();
  p.Store.IniSto = value().ReadReal();
  p.Store.MaxEsc = value().ReadReal();
  p.NrOfRes = value().ReadInteger();
  p.Alpha = value().ReadReal();
  return p;
}

TResultsTable ReadResultsTable(std::string content, TResultsVariant variant, bool withRSquare) {
  TTextReader reader(std::move(content));
  TResultsTable table;
  const bool reconstruction = variant == TResultsVariant::Reconstruction;
  const std::string tag =
      L::SectionTag(reconstruction ? L::ReconstructionSection : L::PredictionSection);
  if (!FindSection(reader, tag)) return table;
  table.SectionFound = true;
  const std::size_t head = reconstruction ? L::ReconstructionHead.size() : L::PredictionHead.size();
  for (std::size_t line = 0; line < head; ++line) reader.SkipLine();

  // A file cut off within its head has no table lines, not a negative count.
  const int count =
      CountLines(reader) - (reconstruction ? L::ReconstructionTrailer : L::PredictionTrailer);
  const int values = reconstruction ? L::ReconstructionValues : L::PredictionValues;
  try {
    for (int n = 0; n < count; ++n) {
      TResultsRow row;
      row.Serial = reader.ReadInteger();
      for (int v = 0; v < values; ++v) row.Values[static_cast<std::size_t>(v)] = reader.ReadReal();
      reader.SkipLine();
      table.Rows.push_back(row);
    }
  } catch (const TInvalidNumber&) {
    table.BadNumber = true;
    return table;
  }
  if (withRSquare) {
    // Past the rule and the standard deviation.
    reader.SkipLine();
    reader.SkipLine();
    try {
      reader.ReadChars(L::Length(L::RSquareLabel));
      table.RSquare = reader.ReadReal();
      reader.SkipLine();
    } catch (const TInOutError&) {
      table.RSquare.reset();
    }
  }
  return table;
}
