// The input file as the two runs read it, each into its own workspace of
// the data module.
#pragma once

class TDMQuorell;
struct TRunInput;

// Both read the file named by FileName. They return false when the run
// cannot go on with what the file holds (a corrupt data line, more points
// than the workspace holds); the user has been told and RunFailed is set.
// A file that cannot be opened, or a parameter that is no number, throws
// TInOutError for the caller's general error handling.
bool ReadAnalysisInput(TDMQuorell& dm);
// The determination's reading of a record already read from a file's text.
bool LoadAnalysisInput(TDMQuorell& dm, const TRunInput& run);
bool ReadPredictionInput(TDMQuorell& dm);

// The determination's checks of the series read (points read shown, runoff
// raised to its least value, variation in runoff and time); false when the
// run stops, the user told.
bool CheckDeterminationSeries(TDMQuorell& dm);
