// The pictures of an uncertainty analysis: a dotty plot of the objective
// against each sampled value, and the band around the measured runoff.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "files/tabledates.h"
#include "graphs/chart.h"
#include "model/uncertainty.h"

// A record's band as the picture needs it.
struct TBandPicture {
  std::string Title;
  std::vector<double> Times, Measured;
  std::optional<TRecordDates> Dates;
  const TBands* Bands = nullptr;
};

// The files the pictures go to: dir/dotty_KEY.EXT for each sampled value
// (KEY as the samples table names it), dir/band.EXT, and with a
// validation dir/validation_band.EXT.
std::vector<std::string> UncertaintyChartPaths(bool slowPath, bool validation,
                                               const std::string& dir, const std::string& extension);

// One dotty plot a sampled value (the behavioural samples in another
// colour; the objective clipped below at a few times the behavioural
// range under the threshold) and a band picture a record, with the paths
// above.
std::vector<std::pair<TChart, std::string>> UncertaintyCharts(
    std::span<const TUncertaintySample> samples, const TBehavioural& behavioural,
    const TUncertaintySettings& settings, const std::vector<TBandPicture>& bands,
    const std::string& dir, const std::string& extension);
