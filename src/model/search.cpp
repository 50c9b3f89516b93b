#include "model/search.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "model/workpool.h"

void BuildAlphaCandidates(double (&candidates)[CascadeColumns + 1]) {
  candidates[0] = 0;
  candidates[1] = 0.002;
  for (int k = 2; k <= AlphaCandidates; ++k) candidates[k] = candidates[k - 1] + 0.002;
}

const double (&AlphaCandidateTable())[CascadeColumns + 1] {
  struct TTable {
    double Values[CascadeColumns + 1];
  };
  static const TTable table = [] {
    TTable t;
    BuildAlphaCandidates(t.Values);
    return t;
  }();
  return table.Values;
}

void ComputeSumSqReference(const double* runMeas, const double* rech, int n, double delta,
                           const double (&candidates)[CascadeColumns + 1], TSumSqTable& sumSq) {
  std::vector<double> rows((MaxReservoirs + 1) * static_cast<std::size_t>(n + 1));
  auto run = [&](int r, int t) -> double& { return rows[r * static_cast<std::size_t>(n + 1) + t]; };
  for (int r = 1; r <= MaxReservoirs; ++r)
    for (int k = 1; k <= AlphaCandidates; ++k) sumSq[r][k] = 0;
  for (int nr = 1; nr <= MaxReservoirs; ++nr) {
    for (int k = 1; k <= AlphaCandidates; ++k) {
      const double c = std::exp(-candidates[k] * delta);
      for (int t = 1; t <= n; ++t) {
        for (int r = 1; r <= nr; ++r) {
          if (t == 1) {
            run(r, 1) = r == 1 ? runMeas[1] : c * run(r - 1, 1);
          } else {
            const double inflow = r == 1 ? rech[t] : run(r - 1, t);
            run(r, t) = c * run(r, t - 1) + (1 - c) * inflow;
          }
        }
        const double d = runMeas[t] - run(nr, t);
        sumSq[nr][k] += d * d;
      }
    }
  }
}

namespace {

constexpr int Lanes = 8;
typedef double TLanes __attribute__((vector_size(Lanes * sizeof(double))));

// Every lane the same value (kept a macro so that each instruction-set
// clone builds it with its own registers).
#define TOLVANE_BROADCAST(x) \
  TLanes { x, x, x, x, x, x, x, x }

// Sums of squares of Lanes candidates for the cascades of 1..5 reservoirs.
// Built once per instruction set; the lanes compute independently, so the
// widest registers of the machine give the same sums as the narrowest.
__attribute__((target_clones("avx512f", "avx2", "default"))) void SumSqLanes(
    const double* runMeas, const double* rech, int n, const double* c, const double* share,
    double (&out)[MaxReservoirs + 1][Lanes]) {
  TLanes C, S;
  std::memcpy(&C, c, sizeof C);
  std::memcpy(&S, share, sizeof S);
  const TLanes zero = TOLVANE_BROADCAST(0.0);
  const TLanes m1 = TOLVANE_BROADCAST(runMeas[0]);
  // run[r] and sum[r] belong to the cascade of r + 1 reservoirs.
  TLanes run[MaxReservoirs], sum[MaxReservoirs];
  run[0] = m1;
  for (int r = 1; r < MaxReservoirs; ++r) run[r] = C * run[r - 1];
  for (int r = 0; r < MaxReservoirs; ++r) {
    const TLanes d = m1 - run[r];
    sum[r] = zero + d * d;
  }
  for (int t = 1; t < n; ++t) {
    const double meas = runMeas[t];
    const double inflow = rech[t];
    const TLanes m = TOLVANE_BROADCAST(meas);
    TLanes in = TOLVANE_BROADCAST(inflow);
    // Unrolled, so that the runs and sums stay in registers.
#pragma GCC unroll 5
    for (int r = 0; r < MaxReservoirs; ++r) {
      run[r] = C * run[r] + S * in;
      in = run[r];
      const TLanes d = m - run[r];
      sum[r] = sum[r] + d * d;
    }
  }
  for (int r = 0; r < MaxReservoirs; ++r)
    for (int i = 0; i < Lanes; ++i) out[r + 1][i] = sum[r][i];
}

static_assert(AlphaCandidates % Lanes == 0, "the candidates fill whole blocks");

// Candidates of blocks firstBlock..lastBlock-1, Lanes to a block; the
// carry-over factors once per candidate.
void SumSqRange(const double* runMeas, const double* rech, int n, double delta,
                const double* candidates, int firstBlock, int lastBlock, TSumSqTable& sumSq) {
  double out[MaxReservoirs + 1][Lanes];
  double c[Lanes], share[Lanes];
  for (int b = firstBlock; b < lastBlock; ++b) {
    const int k0 = 1 + b * Lanes;
    for (int i = 0; i < Lanes; ++i) {
      c[i] = std::exp(-candidates[k0 + i] * delta);
      share[i] = 1 - c[i];
    }
    SumSqLanes(runMeas, rech, n, c, share, out);
    for (int r = 1; r <= MaxReservoirs; ++r)
      for (int i = 0; i < Lanes; ++i) sumSq[r][k0 + i] = out[r][i];
  }
}

}  // namespace

void ComputeSumSq(std::span<const double> measured, std::span<const double> rech, double delta,
                  const double (&candidates)[CascadeColumns + 1], TSumSqTable& sumSq,
                  TWorkPool* pool) {
  const int n = static_cast<int>(std::min(measured.size(), rech.size()));
  if (n < 1) {
    for (int r = 1; r <= MaxReservoirs; ++r)
      for (int k = 1; k <= AlphaCandidates; ++k) sumSq[r][k] = 0;
    return;
  }
  constexpr int Blocks = AlphaCandidates / Lanes;
  // The candidates are independent: a few pieces a thread, so that a
  // thread slowed by others does not hold up the end.
  const int pieces =
      pool && n >= 20 ? std::min(Blocks, 4 * static_cast<int>(pool->Threads())) : 1;
  auto piece = [&](std::size_t p) {
    const int i = static_cast<int>(p);
    SumSqRange(measured.data(), rech.data(), n, delta, candidates, Blocks * i / pieces,
               Blocks * (i + 1) / pieces, sumSq);
  };
  ForEachOn(pool, static_cast<std::size_t>(pieces), piece);
}

void ComputeSumSq(const double* runMeas, const double* rech, int n, double delta,
                  const double (&candidates)[CascadeColumns + 1], TSumSqTable& sumSq,
                  TWorkPool* pool) {
  const auto count = static_cast<std::size_t>(std::max(n, 0));
  ComputeSumSq(std::span<const double>(runMeas + 1, count), std::span<const double>(rech + 1, count),
               delta, candidates, sumSq, pool);
}

namespace {

// Sums of squares of up to Lanes candidates given by index; lanes left over
// repeat the last one.
void SumSqOfCandidates(std::span<const double> measured, std::span<const double> rech, double delta,
                       const double (&candidates)[CascadeColumns + 1], const int* ks, int count,
                       double (&out)[MaxReservoirs + 1][Lanes]) {
  double c[Lanes], share[Lanes];
  for (int i = 0; i < Lanes; ++i) {
    c[i] = std::exp(-candidates[ks[std::min(i, count - 1)]] * delta);
    share[i] = 1 - c[i];
  }
  // The lanes' routine counts from 1.
  SumSqLanes(measured.data(), rech.data(), static_cast<int>(measured.size()), c, share, out);
}

// The coarse candidates of the guess: whole blocks, log-spaced from the
// first to the last.
std::vector<int> CoarseCandidates() {
  constexpr int Coarse = 16 * Lanes;
  std::vector<int> ks;
  for (int j = 0; j < Coarse; ++j) {
    const int k = static_cast<int>(std::lround(std::pow(static_cast<double>(AlphaCandidates),
                                                        static_cast<double>(j) / (Coarse - 1))));
    ks.push_back(std::clamp(std::max(k, ks.empty() ? 1 : ks.back() + 1), 1, AlphaCandidates));
  }
  return ks;
}

}  // namespace

TPairGuess GuessBestPair(std::span<const double> measured, std::span<const double> rech,
                         double delta, const double (&candidates)[CascadeColumns + 1]) {
  TPairGuess guess;
  const std::size_t n = std::min(measured.size(), rech.size());
  if (n == 0) return guess;
  measured = measured.first(n);
  rech = rech.first(n);
  static const std::vector<int> coarse = CoarseCandidates();
  const int count = static_cast<int>(coarse.size());
  // best[r]: the least sum of r reservoirs so far and its candidate.
  double bestSum[MaxReservoirs + 1];
  int bestK[MaxReservoirs + 1], bestJ[MaxReservoirs + 1];
  std::fill(std::begin(bestSum), std::end(bestSum), std::numeric_limits<double>::infinity());
  std::fill(std::begin(bestK), std::end(bestK), 1);
  std::fill(std::begin(bestJ), std::end(bestJ), 0);
  double out[MaxReservoirs + 1][Lanes];
  for (int j0 = 0; j0 < count; j0 += Lanes) {
    const int lanes = std::min(Lanes, count - j0);
    SumSqOfCandidates(measured, rech, delta, candidates, &coarse[static_cast<std::size_t>(j0)], lanes, out);
    for (int r = 1; r <= MaxReservoirs; ++r)
      for (int i = 0; i < lanes; ++i)
        if (out[r][i] < bestSum[r]) {
          bestSum[r] = out[r][i];
          bestK[r] = coarse[static_cast<std::size_t>(j0 + i)];
          bestJ[r] = j0 + i;
        }
  }
  // Each number of reservoirs narrows the gap around its best coarse
  // candidate, Lanes candidates at a time, until every one in it is tried.
  for (int r = 1; r <= MaxReservoirs; ++r) {
    if (!std::isfinite(bestSum[r])) continue;
    int lo = bestJ[r] > 0 ? coarse[static_cast<std::size_t>(bestJ[r] - 1)] : 1;
    int hi = bestJ[r] + 1 < count ? coarse[static_cast<std::size_t>(bestJ[r] + 1)] : AlphaCandidates;
    while (hi - lo > 1) {
      int ks[Lanes];
      int lanes = 0;
      const int inside = hi - lo - 1;
      if (inside <= Lanes) {
        for (int k = lo + 1; k < hi; ++k) ks[lanes++] = k;
      } else {
        for (int i = 1; i <= Lanes; ++i) ks[lanes++] = lo + (hi - lo) * i / (Lanes + 1);
      }
      SumSqOfCandidates(measured, rech, delta, candidates, ks, lanes, out);
      for (int i = 0; i < lanes; ++i)
        if (out[r][i] < bestSum[r] || (out[r][i] == bestSum[r] && ks[i] < bestK[r])) {
          bestSum[r] = out[r][i];
          bestK[r] = ks[i];
        }
      if (inside <= Lanes) break;
      // The new gap: the neighbours of the best point tried, or of the
      // best one before when none of these beat it.
      int below = lo, above = hi;
      for (int i = 0; i < lanes; ++i) {
        if (ks[i] < bestK[r]) below = std::max(below, ks[i]);
        if (ks[i] > bestK[r]) above = std::min(above, ks[i]);
      }
      lo = below;
      hi = above;
    }
  }
  for (int r = 1; r <= MaxReservoirs; ++r)
    if (bestSum[r] < (guess.Valid ? guess.SumSq : std::numeric_limits<double>::infinity())) {
      guess.Valid = true;
      guess.SumSq = bestSum[r];
      guess.NrOfRes = r;
      guess.Candidate = bestK[r];
    }
  return guess;
}

bool SelectBestPair(const TSumSqTable& sumSq, const double (&candidates)[CascadeColumns + 1],
                    int& nrOfRes, double& alpha) {
  double best = std::numeric_limits<double>::infinity();
  nrOfRes = 1;
  alpha = candidates[1];
  for (int nr = 1; nr <= MaxReservoirs; ++nr) {
    for (int k = 1; k <= AlphaCandidates; ++k) {
      if (sumSq[nr][k] < best) {
        best = sumSq[nr][k];
        alpha = candidates[k];
        nrOfRes = nr;
      }
    }
  }
  return std::isfinite(best);
}
