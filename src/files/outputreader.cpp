// The readers of the output file. They find their place by the fixed line
// structure the writers give it: the section line is known by its first
// four characters, and fixed numbers of lines are skipped after it.
#include "files/outputreader.h"

#include <string>

#include "files/textreader.h"
#include "model/dmquorell.h"

bool IsGraphKind(int kind) {
  return kind == 1 || kind == 2 || kind == 3 || kind == 4 || kind == 7;
}

bool IsReconstructionKind(int kind) { return kind == 1 || kind == 3 || kind == 7; }

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

// Lines of a reconstruction file after the table: the closing hyphens, the
// standard deviation and the R square; of a prediction file: the hyphens.
constexpr int ReconstructionTrailer = 3;
constexpr int PredictionTrailer = 1;

// Head lines between the section line and the table.
constexpr int ReconstructionHead = 5;
constexpr int PredictionHead = 4;

// Width of the label in front of the R square.
constexpr std::size_t RSquareLabel = 45;

void ClearGraphSeries(TDMQuorell& dm) {
  dm.NrOfData = 0;
  dm.Serials.clear();
  dm.GraphTime.clear();
  dm.GraphRain.clear();
  dm.GraphRecharge.clear();
  dm.GraphRunCalc.clear();
  dm.GraphRunMeas.clear();
}

void ResizeGraphSeries(TDMQuorell& dm, std::size_t n) {
  dm.Serials.resize(n);
  dm.GraphTime.resize(n);
  dm.GraphRain.resize(n);
  dm.GraphRecharge.resize(n);
  dm.GraphRunCalc.resize(n);
  dm.GraphRunMeas.resize(n);
}

// Moves past the section line whose first four characters are tag. The
// search starts after the two title lines, so that a title beginning with
// the same letters cannot stop it; false at the end of the file.
bool FindSection(TTextReader& reader, const std::string& tag) {
  for (int line = 1; line <= 4; ++line) reader.SkipLine();
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

bool TDMQuorell::LoadOutputLines(const std::string& path) {
  auto reader = TTextReader::Open(path);
  if (!reader) {
    ShowMessage(OutputLinesOpenFailureText(path));
    return false;
  }
  int n = 0;
  while (!reader->Eof()) {
    ++n;
    OutputLines.resize(n);
    OutputLines[n - 1] = reader->ReadLine();
  }
  OutputLineCount = n;
  return true;
}

bool TDMQuorell::ReadResultsHead() {
  auto reader = TTextReader::Open(ResultsFileName);
  if (!reader) {
    ShowMessage(ResultsOpenFailureText(ResultsFileName));
    return false;
  }
  reader->SkipLine();
  reader->SkipLine();
  Title1 = reader->ReadLine();
  Title2 = reader->ReadLine();
  // Lines 5 to 13: the tag ends as the start of line 13, the section line.
  for (int line = 5; line <= 13; ++line) {
    ResultsTag = reader->ReadChars(4);
    reader->SkipLine();
  }
  return true;
}

bool TDMQuorell::ReadResultsForGraph(int kind) {
  if (!IsGraphKind(kind)) return false;
  auto reader = TTextReader::Open(ResultsFileName);
  if (!reader) {
    ShowMessage(ResultsOpenFailureText(ResultsFileName));
    return false;
  }
  const bool reconstruction = IsReconstructionKind(kind);
  if (!FindSection(*reader, reconstruction ? ReconstructionTag : PredictionTag)) {
    ClearGraphSeries(*this);
    ShowMessage("The file \"" + ResultsFileName + "\" holds no " +
                (reconstruction ? "reconstruction results: it has no line \"RECONSTRUCTION:\"."
                                : "prediction results: it has no line \"PREDICTION runoff:\"."));
    return false;
  }
  const int head = reconstruction ? ReconstructionHead : PredictionHead;
  for (int line = 0; line < head; ++line) reader->SkipLine();

  // A file cut off within its head has no table lines, not a negative count.
  const int trailer = reconstruction ? ReconstructionTrailer : PredictionTrailer;
  const int count = CountLines(*reader) - trailer;
  ClearGraphSeries(*this);
  NrOfData = count > 0 ? count : 0;
  int n = 0;
  try {
    for (; n < NrOfData; ++n) {
      ResizeGraphSeries(*this, n + 1);
      Serials[n] = reader->ReadInteger();
      GraphTime[n] = reader->ReadReal();
      if (reconstruction) {
        GraphRain[n] = reader->ReadReal();
        GraphRecharge[n] = reader->ReadReal();
        GraphRunMeas[n] = reader->ReadReal();
        GraphRunCalc[n] = reader->ReadReal();
      } else {
        GraphRunCalc[n] = reader->ReadReal();
        GraphRecharge[n] = reader->ReadReal();
        GraphRain[n] = reader->ReadReal();
      }
      reader->SkipLine();
    }
  } catch (const TInvalidNumber&) {
    // The series keep the lines read before the bad one, and the count
    // says so, so that nothing reads past their end.
    ResizeGraphSeries(*this, n);
    NrOfData = n;
    throw;
  }

  if (kind == 1 || kind == 7) {
    reader->SkipLine();
    reader->SkipLine();
    try {
      reader->ReadChars(RSquareLabel);
      AnalysisWorkspace.RSquare = reader->ReadReal();
      reader->SkipLine();
    } catch (const TInOutError&) {
      AnalysisWorkspace.RSquare = 0;
      return true;
    }
  }
  if (kind == 7) GraphTime = GraphRunMeas;
  return true;
}
