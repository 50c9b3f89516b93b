#include "model/search.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

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
  const TLanes m1 = TOLVANE_BROADCAST(runMeas[1]);
  // run[r] and sum[r] belong to the cascade of r + 1 reservoirs.
  TLanes run[MaxReservoirs], sum[MaxReservoirs];
  run[0] = m1;
  for (int r = 1; r < MaxReservoirs; ++r) run[r] = C * run[r - 1];
  for (int r = 0; r < MaxReservoirs; ++r) {
    const TLanes d = m1 - run[r];
    sum[r] = zero + d * d;
  }
  for (int t = 2; t <= n; ++t) {
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

void ComputeSumSq(const double* runMeas, const double* rech, int n, double delta,
                  const double (&candidates)[CascadeColumns + 1], TSumSqTable& sumSq) {
  if (n < 1) {
    for (int r = 1; r <= MaxReservoirs; ++r)
      for (int k = 1; k <= AlphaCandidates; ++k) sumSq[r][k] = 0;
    return;
  }
  constexpr int Blocks = AlphaCandidates / Lanes;
  // The candidates are independent: share them out over the cores. The
  // caller still waits for the whole table, as it always has.
  const unsigned cores = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
  const int workers = n < 20 ? 1 : static_cast<int>(cores);
  std::vector<std::thread> threads;
  for (int w = 1; w < workers; ++w) {
    const int first = Blocks * w / workers, last = Blocks * (w + 1) / workers;
    try {
      threads.emplace_back(SumSqRange, runMeas, rech, n, delta, candidates, first, last,
                           std::ref(sumSq));
    } catch (const std::system_error&) {
      // No thread to be had: this one does that share too.
      SumSqRange(runMeas, rech, n, delta, candidates, first, last, sumSq);
    }
  }
  SumSqRange(runMeas, rech, n, delta, candidates, 0, Blocks / workers, sumSq);
  for (auto& thread : threads) thread.join();
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
