// Routing of a series through the pre-reservoir and the cascade of linear
// reservoirs, in the two variants of the model determination and the
// prediction.
#pragma once

#include <optional>
#include <vector>

class TDMQuorell;

enum class TRouteVariant { Analysis, Prediction };

// Largest minus smallest of points 1..n of a workspace series (0 for none):
// the variation checks of both runs.
double SeriesRange(const double* series, int n);

// Recharge of every point of the variant's series. Returns false when the
// run stops on a wrong time step or a maximum storage of 0 or less; the
// message has been shown and the flag set.
bool RoutePreReservoir(TDMQuorell& dm, TRouteVariant variant);

// Fills Run rows 1..n of the cascade table for every point and RunCalc from
// the last of them, with one time step Delta for every step.
void RouteCascade(double alpha, int n, TRouteVariant variant);

// The runoff the model gives for a rainfall series of at most PredCapacity
// points (0-based vectors, one time step throughout), routed as the
// prediction routes it; empty when the routing stops (its message shown).
// Records made by the model itself come from this.
std::optional<std::vector<double>> ModelRunoff(TDMQuorell& dm, const std::vector<double>& times,
                                               const std::vector<double>& rains, double maxSto,
                                               double iniSto, double maxEsc, int nrOfRes,
                                               double alpha, double runIni);
