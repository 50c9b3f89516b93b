// The model state of Tolvane: the data module and the two workspaces of the
// model runs. A data module works on workspaces of its own, or, as the
// program's one data module does, on the module-level ones; every routine
// takes the data module or the workspace it works on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/errors.h"
#include "base/userdialogs.h"
#include "files/graphkind.h"
#include "files/outputfile.h"
#include "files/storeparameters.h"

struct TInputFileWrite;
struct TRunInput;
class TWorkPool;

constexpr int AnaCapacity = 1501;   // points of the model determination
constexpr int PredCapacity = 501;   // points of the prediction
constexpr int MaxReservoirs = 5;
constexpr int CascadeColumns = 10001;
constexpr int AlphaCandidates = 10000;

struct TAnalysisWorkspace {
  // All series are 1-based; index 0 is never used.
  double Rain[AnaCapacity + 1];
  double RunMeas[AnaCapacity + 1];
  double Time[AnaCapacity + 1];
  double Rech[AnaCapacity + 1];
  double RunCalc[AnaCapacity + 1];
  TSerialText SerialText[AnaCapacity + 1];
  int Serial[AnaCapacity + 1];
  double Run[MaxReservoirs + 1][CascadeColumns + 1];
  double AnaMaxEsc;
  double AnaIniSto;
  double AnaMaxSto;
  double Delta;
  double SumRunMeas;
  double MeanRunMeas;
  double RSquare;
  double Alpha;
  int AnaNrOfData;
  int NrOfRes;
  bool AnaTimeError;
  bool StorageOk;

  TStoreParameters Store() const { return {AnaMaxSto, AnaIniSto, AnaMaxEsc}; }
  void SetStore(const TStoreParameters& store) {
    AnaMaxSto = store.MaxSto;
    AnaIniSto = store.IniSto;
    AnaMaxEsc = store.MaxEsc;
  }
};

struct TPredictionWorkspace {
  double PredRain[PredCapacity + 1];
  double PredRunIni;
  double PredRech[PredCapacity + 1];
  double PredTime[PredCapacity + 1];
  int PredSerial[PredCapacity + 1];
  double PredMaxEsc;
  double PredIniSto;
  double PredMaxSto;
  int PredNrOfData;
  std::string RateUnit;
  bool PredTimeError;
  bool PredNoVariation;

  TStoreParameters Store() const { return {PredMaxSto, PredIniSto, PredMaxEsc}; }
};

// Both workspaces of one data module.
struct TModelWorkspaces {
  TAnalysisWorkspace Analysis{};
  TPredictionWorkspace Prediction{};
};

// The run tag of line 2 that goes with the option.
inline const char* RunTagFor(bool analysis) { return analysis ? " Ana" : " Pre"; }

// Module-level, alive for the whole run of the program; each run overwrites
// them. They are the workspaces of the program's data module (and of the
// batch tool's); nothing else touches them.
extern TAnalysisWorkspace AnalysisWorkspace;
extern TPredictionWorkspace PredictionWorkspace;

class TDMQuorell {
public:
  // A data module with workspaces of its own, shared with no other: runs of
  // two such data modules may go on at once on two threads.
  TDMQuorell();
  // The program's data module, on the module-level workspaces.
  struct TModuleWorkspaces {};
  explicit TDMQuorell(TModuleWorkspaces);
  TDMQuorell(const TDMQuorell&) = delete;
  TDMQuorell& operator=(const TDMQuorell&) = delete;
  ~TDMQuorell();

  TAnalysisWorkspace& Analysis() { return *Ana; }
  const TAnalysisWorkspace& Analysis() const { return *Ana; }
  TPredictionWorkspace& Prediction() { return *Pred; }
  const TPredictionWorkspace& Prediction() const { return *Pred; }

  void SetDialogs(TUserDialogs* dialogs) { Dialogs = dialogs; }
  // The threads the determination's search may use (the caller's alone
  // without); the owner keeps the pool alive while the module uses it.
  void SetWorkPool(TWorkPool* pool) { WorkPool = pool; }
  TWorkPool* GetWorkPool() const { return WorkPool; }
  TUserDialogs* GetDialogs() const { return Dialogs; }

  // Fields, in the order the program has always declared them.
  std::string FileName;
  std::string ResultsFileName;
  std::string Title1;
  std::string Title2;
  std::string LabelText;
  std::string RunTag;
  std::string ResultsTag;
  std::vector<int> Serials;
  std::vector<double> GraphTime;
  std::vector<double> GraphRain;
  std::vector<double> GraphRecharge;
  std::vector<double> GraphRunCalc;
  std::vector<double> GraphRunMeas;
  std::vector<double> Times;
  std::vector<double> Rains;
  std::vector<double> Runoffs;
  double MaxSto = 0;
  double IniSto = 0;
  double MaxEsc = 0;
  double RunIni = 0;
  double Acoeff = 0;
  std::vector<std::string> OutputLines;
  std::vector<std::uint8_t> RowFlags;
  int NrOfData = 0;
  int OutputLineCount = 0;
  bool IsAnalysis = false;
  bool RunFailed = false;

  // Talking to the user.
  void ShowMessage(const std::string& text);
  bool AskYesNo(const std::string& text);
  // Shows "A program error occurred." followed by text. The operation that
  // hit the error is abandoned and reports failure; the program goes on.
  void ReportProgramError(const std::string& text);

  // Input file. Both return false when the operation was abandoned (the
  // user has been told why); the caller must then stop.
  bool WriteInputFile();
  bool ReadInputFile();
  // What WriteInputFile puts into the file; empty (nullopt-like: false)
  // when the series do not hold the NrOfData rows of the writer's layout.
  bool InputFileRecord(TInputFileWrite& file) const;

  // The two runs; their outcome is in the run flags (RunSucceeded tells).
  void DetermineModel();
  // The determination's two halves. The first reads the input file into the
  // workspace and checks the series; the second fits the cascade to them
  // with the workspace's pre-reservoir parameters, and may be run again
  // with others (the calibration does). False when the run stops; the user
  // has been told why.
  bool PrepareDetermination();
  // The same from a record already read (an input file's text read back in
  // memory): the calibration window fits without a file.
  bool PrepareDetermination(const TRunInput& run);
  bool FitCascade();
  void PredictRunoff();
  bool ReadPrediction();
  void RoutePrediction();

  // Output file writers; an error writing the file throws TInOutError.
  void WriteReconstructionResults();
  void WritePredictionResults();
  // The results of the last run as the writers print them; the series are
  // views of the workspaces, valid until the next run.
  TReconstructionResults ReconstructionResults() const;
  TPredictionResults PredictionResults() const;

  // Reading an output file back (outputreader.cpp). Each returns false
  // when it read nothing usable; the user has then been told why.
  // A bad number in the table throws TInvalidNumber.
  bool LoadOutputLines(const std::string& path);
  bool ReadResultsHead();
  bool ReadResultsForGraph(TGraphKind kind);

  // Runs the option on the input file named by FileName, as Save/Run does:
  // the determination, or the prediction with StorageOk set beforehand.
  // Returns whether it succeeded by its flags; TInOutError goes through.
  bool RunModel(bool analysis);

  // Whether the last run of the given option succeeded, by its flags.
  bool RunSucceeded(bool analysis) const;

  // Messages of the file code, built from FileName.
  std::string OpenFailureText() const;
  std::string CorruptDataText() const;

  // The sheet's parameters as one record.
  TStoreParameters Store() const { return {MaxSto, IniSto, MaxEsc}; }

private:
  std::unique_ptr<TModelWorkspaces> Own;
  TAnalysisWorkspace* Ana;
  TPredictionWorkspace* Pred;
  TUserDialogs* Dialogs = nullptr;
  TWorkPool* WorkPool = nullptr;
};

// The single instance, created at start-up by the program.
extern TDMQuorell* DMQuorell;

// Silences the dialogs of dm for a scope: a run tried for the program's
// own sake (a calibration candidate, a refit while a value is dragged) is
// no news to the user.
class TDialogsSilenced {
public:
  explicit TDialogsSilenced(TDMQuorell& dm) : Dm(dm), Saved(dm.GetDialogs()) { dm.SetDialogs(nullptr); }
  ~TDialogsSilenced() { Dm.SetDialogs(Saved); }
  TDialogsSilenced(const TDialogsSilenced&) = delete;
  TDialogsSilenced& operator=(const TDialogsSilenced&) = delete;

private:
  TDMQuorell& Dm;
  TUserDialogs* Saved;
};
