// What a hydrologist must be told about a run's results beyond its messages.
// Each returns an empty text when there is nothing to say.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "files/storeparameters.h"

// A time step d at which the escape of a full store, MaxEsc x d, exceeds
// the store itself: the storage then goes negative and the recharge means
// nothing. times is 1-based, points 1..n.
std::string EscapeWarning(double maxSto, double maxEsc, const double* times, int n);
// The same of a 0-based series; the points are still named from 1.
std::string EscapeWarning(double maxSto, double maxEsc, std::span<const double> times);

// A reaction factor on either end of the candidates: the best fit may lie
// beyond them.
std::string AlphaEdgeWarning(double alpha);

// Every warning of a determination's fit with the store on times (0-based)
// and the reaction factor chosen, in the order the batch tool prints them.
std::vector<std::string> DeterminationWarnings(const TStoreParameters& store,
                                               std::span<const double> times, double alpha);
