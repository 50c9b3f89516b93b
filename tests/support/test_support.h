// Helpers shared by the tests: a dialogs recorder, scratch folders, files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/dmquorell.h"

// Records everything the core says; answers Yes/No as told.
class TRecordingDialogs : public TUserDialogs {
public:
  void ShowMessage(const std::string& text) override { Messages.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    Questions.push_back(text);
    return Answer;
  }
  void ShowProgramError(const std::string& text) override { Errors.push_back(text); }
  void ShowPointsRead(int count) override { PointsShown = count; }

  std::vector<std::string> Messages;
  std::vector<std::string> Questions;
  std::vector<std::string> Errors;
  int PointsShown = -1;
  bool Answer = true;
};

// A fresh folder under the system's temporary folder, removed at the end.
class TScratchDir {
public:
  TScratchDir();
  ~TScratchDir();
  std::string File(const std::string& name) const { return (Path / name).string(); }
  std::filesystem::path Path;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The lines of a text without their line ends; a last line without one
// counts too.
std::vector<std::string> SplitLines(const std::string& text, std::string_view lineEnd);
inline std::vector<std::string> SplitCrLfLines(const std::string& text) {
  return SplitLines(text, "\r\n");
}

// The name of a table-driven case, from its Name (GoogleTest's own macro
// names its parameter "info": a lambda of that name would shadow it).
inline constexpr auto CaseName = [](const auto& testCase) { return std::string(testCase.param.Name); };

// Folders of the shared data; empty when not present.
std::string SharedDataDir();
std::string SourceDir();

// Puts a sheet into the write layout that Save/Run hands to WriteInputFile:
// row k in element k, nothing left out.
void SetSheet(TDMQuorell& dm, bool analysis, const std::vector<double>& times,
              const std::vector<double>& rains, const std::vector<double>& runoffs = {});

// Writes a determination input file through WriteInputFile.
void WriteAnalysisFile(TDMQuorell& dm, const std::string& path, const std::vector<double>& times,
                       const std::vector<double>& rains, const std::vector<double>& runoffs,
                       double maxSto = 100, double iniSto = 80, double maxEsc = 2);

// Writes a prediction input file through WriteInputFile.
void WritePredictionFile(TDMQuorell& dm, const std::string& path, const std::vector<double>& times,
                         const std::vector<double>& rains, int nrOfRes, double alpha,
                         double runIni, double maxSto = 100, double iniSto = 80,
                         double maxEsc = 2);

// Point i (from 1) of a reconstruction, put into the workspace as a
// determination leaves it for the output writer.
struct TReconstructionPoint {
  int Serial;
  double Time, Rain, Rech, RunMeas, RunCalc;
};
void SetReconstructionPoint(TAnalysisWorkspace& ws, int i, const TReconstructionPoint& point);

// A record for fitting: times first, first + 1, ...; daily drizzle that
// keeps the runoff up with storms every eleventh day; runoff that varies,
// as a determination needs.
std::vector<double> Times(int n, double first = 1);
std::vector<double> Rains(int n);
std::vector<double> Runoffs(int n);
