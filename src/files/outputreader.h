// Reading an output file back: its lines for the Output tab, its head for
// the choice of graphs, its table for the graph series. The readers
// themselves are methods of TDMQuorell (LoadOutputLines, ReadResultsHead,
// ReadResultsForGraph); this header holds what their callers share.
#pragma once

#include <string>

// The five graph kinds; no other codes exist.
bool IsGraphKind(int kind);
// Kinds 1, 3 and 7 are drawn from a reconstruction output file, 2 and 4
// from a prediction output file.
bool IsReconstructionKind(int kind);

// The tag of line 13 that marks a reconstruction output file.
inline constexpr char ReconstructionTag[] = "RECO";
inline constexpr char PredictionTag[] = "PRED";

// The two cannot-open messages of the readers; their blanks differ, as the
// program has always shown them.
std::string OutputLinesOpenFailureText(const std::string& path);
std::string ResultsOpenFailureText(const std::string& path);
