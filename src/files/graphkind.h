// The five graph kinds: their codes, which variant of output file each is
// drawn from, and what its reading takes besides the table. No other codes
// exist.
#pragma once

#include <array>
#include <optional>

enum class TGraphKind : unsigned char {
  RunoffDetermination = 1,    // runoff in time, determination
  RunoffPrediction = 2,       // runoff in time, prediction
  RechargeDetermination = 3,  // rain and recharge, determination
  RechargePrediction = 4,     // rain and recharge, prediction
  ObservedCalculated = 7,     // observed against calculated runoff
};

struct TGraphKindInfo {
  TGraphKind Kind;
  bool Reconstruction;  // drawn from a reconstruction output file, else a prediction
  bool ReadsRSquare;    // the R square after the table is read and printed
};

inline constexpr std::array<TGraphKindInfo, 5> GraphKinds = {{
    {TGraphKind::RunoffDetermination, true, true},
    {TGraphKind::RunoffPrediction, false, false},
    {TGraphKind::RechargeDetermination, true, false},
    {TGraphKind::RechargePrediction, false, false},
    {TGraphKind::ObservedCalculated, true, true},
}};

inline constexpr int GraphKindCode(TGraphKind kind) { return static_cast<int>(kind); }

inline std::optional<TGraphKind> GraphKindFromCode(int code) {
  for (const auto& info : GraphKinds)
    if (GraphKindCode(info.Kind) == code) return info.Kind;
  return std::nullopt;
}

inline constexpr const TGraphKindInfo& InfoOf(TGraphKind kind) {
  for (const auto& info : GraphKinds)
    if (info.Kind == kind) return info;
  return GraphKinds[0];
}

inline constexpr bool IsReconstructionKind(TGraphKind kind) { return InfoOf(kind).Reconstruction; }
