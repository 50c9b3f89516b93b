// The least-squares search of the model determination: sums of squares of
// every cascade of 1..5 reservoirs for every alpha candidate.
#pragma once

#include <span>

#include "model/dmquorell.h"

class TWorkPool;

using TSumSqTable = double[MaxReservoirs + 1][CascadeColumns + 1];

// Candidates 1..10000 (index 0 unused): 0.002, then each the one before
// plus 0.002, each sum rounded to a double as it is made.
void BuildAlphaCandidates(double (&candidates)[CascadeColumns + 1]);

// Those candidates, built once for the whole program.
const double (&AlphaCandidateTable())[CascadeColumns + 1];

// sumSq[r][k] = sum over t = 1..n of (runMeas[t] - Run[r][t])^2 for the
// cascade of r reservoirs with candidate k; runMeas and rech are 1-based,
// of any length. One pass over five reservoirs gives every shorter cascade
// as well, and the candidates go through in vector lanes and on the pool's
// threads (the caller's alone without one); each lane does exactly the
// operations of the one-cascade-at-a-time computation, so every sum is the
// same to the last bit.
void ComputeSumSq(const double* runMeas, const double* rech, int n, double delta,
                  const double (&candidates)[CascadeColumns + 1], TSumSqTable& sumSq,
                  TWorkPool* pool = nullptr);
// The same of two 0-based series of one length.
void ComputeSumSq(std::span<const double> measured, std::span<const double> rech, double delta,
                  const double (&candidates)[CascadeColumns + 1], TSumSqTable& sumSq,
                  TWorkPool* pool = nullptr);

// The same table the straightforward way: one cascade per candidate pair,
// points outside and reservoirs inside. Kept as the reference.
void ComputeSumSqReference(const double* runMeas, const double* rech, int n, double delta,
                           const double (&candidates)[CascadeColumns + 1], TSumSqTable& sumSq);

// The pair of least finite sum: ties go to fewer reservoirs, then to the
// smaller alpha. False when no sum is finite (values so large that every
// square overflows); nrOfRes and alpha then hold the first pair.
bool SelectBestPair(const TSumSqTable& sumSq, const double (&candidates)[CascadeColumns + 1],
                    int& nrOfRes, double& alpha);

// A quick guess at the pair of least sum of squares, for a search that
// tries many stores and reports only what the whole search confirms: a
// coarse set of candidates spaced evenly on a log scale, then, for each
// number of reservoirs, its best one's neighbourhood narrowed down. The sums
// it finds are exact sums of real candidates; only the candidates it never
// tries may be better. Series 0-based, of one length.
struct TPairGuess {
  bool Valid = false;  // a finite sum was found
  int NrOfRes = 1;
  int Candidate = 1;   // its index among the candidates, 1..10000
  double SumSq = 0;
};
TPairGuess GuessBestPair(std::span<const double> measured, std::span<const double> rech,
                         double delta, const double (&candidates)[CascadeColumns + 1]);
