// tolvane-batch uncertainty: how sure the fit of a record is, by Monte Carlo
// samples of the store judged the GLUE way; the samples and the bands as
// tables, a summary on standard output.
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <iostream>

#include "base/numformat.h"
#include "batch/batchargs.h"
#include "batch/commands.h"
#include "batch/fitoptions.h"
#include "batch/plots.h"
#include "batch/tableargs.h"
#include "batch/uncertaintyplots.h"
#include "batch/validatecmd.h"
#include "files/filepaths.h"
#include "model/routing.h"
#include "model/uncertainty.h"
#include "model/workpool.h"

namespace {

constexpr int MostSamples = 1000000;

void Append(std::string& out, double value) {
  if (std::isnan(value)) return;
  char number[32];
  out.append(number, std::to_chars(number, number + sizeof number, value).ptr);
}

std::string SamplesText(std::span<const TUncertaintySample> samples, const TBehavioural& b,
                        bool slowPath) {
  std::string head = "max_storage,initial_storage,max_escape,";
  if (slowPath) head += "base_share,base_alpha,";
  head += "reservoirs,alpha,";
  for (const auto& info : Criteria) head += std::string(info.Key) + ",";
  std::string out;
  AppendLine(out, head + "behavioural,weight,determined");
  std::vector<double> weight(samples.size(), 0);
  std::vector<char> member(samples.size(), 0);
  for (std::size_t k = 0; k < b.Members.size(); ++k) {
    member[b.Members[k]] = 1;
    weight[b.Members[k]] = b.Weights[k];
  }
  out.reserve(out.size() + samples.size() * 240);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const TUncertaintySample& s = samples[i];
    std::vector<double> values{s.Store.MaxSto, s.Store.IniSto, s.Store.MaxEsc};
    if (slowPath) values.insert(values.end(), {s.BaseShare, s.BaseAlpha});
    for (double v : values) {
      Append(out, v);
      out += ',';
    }
    if (s.Valid) {
      out += std::to_string(s.NrOfRes) + ",";
      Append(out, s.Alpha);
      out += ',';
      for (const auto& info : Criteria) {
        Append(out, s.Fit[info.Id]);
        out += ',';
      }
    } else {
      out += std::string(2 + Criteria.size(), ',');
    }
    out += member[i] ? "1," : "0,";
    Append(out, weight[i]);
    out += s.Determined ? ",1\r\n" : ",0\r\n";
  }
  return out;
}

std::string BandsText(const TValidationData& data, const TBands& bands) {
  std::string out;
  AppendLine(out, "date,time,rain,measured,best,q05,q50,q95");
  out.reserve(out.size() + data.Times.size() * 120);
  for (std::size_t t = 0; t < data.Times.size(); ++t) {
    if (data.Dates) out += data.Dates->DateOf(data.Times[t]);
    for (double v : {data.Times[t], data.Rains[t], data.Runoffs[t], bands.Best[t], bands.Q05[t],
                     bands.Q50[t], bands.Q95[t]}) {
      out += ',';
      Append(out, v);
    }
    out += "\r\n";
  }
  return out;
}

// "12.3 to 45.6" of the members' weighted 5 and 95 % of a value.
std::string Range(std::span<const TUncertaintySample> samples, const TBehavioural& b,
                  double (*of)(const TUncertaintySample&), int decimals) {
  std::vector<double> values;
  for (std::size_t i : b.Members) values.push_back(of(samples[i]));
  return FormatFixed(WeightedQuantile(values, b.Weights, 0.05), 0, decimals) + " to " +
         FormatFixed(WeightedQuantile(values, b.Weights, 0.95), 0, decimals);
}

std::string BandLine(const char* what, const TBandFit& fit) {
  return std::string(what) + ": containing ratio " + FormatFixed(100 * fit.ContainingRatio, 0, 1) +
         " %, mean band width " + FormatFixed(fit.RelativeWidth, 0, 3) +
         " of the mean measured runoff";
}

bool Write(const std::string& path, const std::string& text) {
  std::string error;
  if (WriteFileAtomically(path, text, &error)) return true;
  std::cerr << "The file \"" << path << "\" could not be written: " << error << "\n";
  return false;
}

// One line on a terminal: the samples judged and the time left.
class TProgressLine {
public:
  TProgressLine() : Shown(isatty(STDERR_FILENO) == 1), Started(std::chrono::steady_clock::now()) {}
  ~TProgressLine() {
    if (Shown) std::cerr << "\r\033[K" << std::flush;
  }
  void operator()(const TUncertaintyProgress& p) const {
    if (!Shown || p.Done == 0) return;
    const double spent =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - Started).count();
    std::cerr << "\r\033[Ksampling: " << p.Done << " of " << p.Planned << ", about "
              << FormatFixed(spent * (p.Planned - p.Done) / p.Done, 0, 1) << " s left"
              << std::flush;
  }

private:
  bool Shown;
  std::chrono::steady_clock::time_point Started;
};

}  // namespace

int UncertaintyCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv, CommandNamed("uncertainty"), error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() != 1)
    return UsageError("uncertainty takes one record DATA: an input file or a table");
  if (!args.Options.count("-o")) return UsageError("uncertainty needs -o PREFIX");
  TUncertaintySettings settings;
  if (!GetFitOptions(args, settings.Objective, settings.Bounds, error)) return UsageError(error);
  if (!GetWarmUp(args, settings.WarmUp, error) || !GetInt(args, "--samples", settings.Samples, error))
    return UsageError(error);
  if (settings.Samples < 1 || settings.Samples > MostSamples)
    return UsageError("--samples must be 1 to " + std::to_string(MostSamples));
  if (args.Options.count("--seed")) {
    const std::string& text = args.Options.at("--seed");
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), settings.Seed);
    if (ec != std::errc() || end != text.data() + text.size())
      return UsageError("--seed must be a whole number 0 or more");
  }
  TBehaviouralRule rule;
  std::optional<double> threshold, share;
  if (!GetReal(args, "--threshold", threshold, error) || !GetReal(args, "--best-share", share, error))
    return UsageError(error);
  if (threshold && share) return UsageError("give --threshold or --best-share, not both");
  rule.Threshold = threshold;
  rule.BestShare = threshold ? std::nullopt : std::optional<double>(share.value_or(0.1));
  if (rule.Threshold && !(std::isfinite(*rule.Threshold) && *rule.Threshold <= 1))
    return UsageError("--threshold " + args.Options.at("--threshold") +
                      " is out of range: the objectives are at most 1");
  if (rule.BestShare && !(*rule.BestShare > 0 && *rule.BestShare <= 1))
    return UsageError("--best-share must be above 0 and at most 1 (0.1: the best 10 %)");
  settings.SlowPath = args.Has("--slow-path");
  const bool validate = args.Options.count("--validate") > 0;
  if (!validate && (args.Options.count("--validate-from") || args.Options.count("--validate-to")))
    return UsageError("--validate-from and --validate-to go with --validate DATA2");
  if (!CheckDataOptions(args, error)) return UsageError(error);

  const std::string prefix = AbsolutePath(args.Options.at("-o"));
  std::vector<std::string> outputs{prefix + "_samples.csv", prefix + "_bands.csv"};
  if (validate) outputs.push_back(prefix + "_validation_bands.csv");
  const bool plots = args.Options.count("--plots") > 0;
  const std::string plotDir = plots ? AbsolutePath(args.Options.at("--plots")) : "";
  const std::string format = PlotFormat(args);
  if (const std::string why = PlotFormatFault(args); !why.empty()) return UsageError(why);
  if (!plots && args.Options.count("--plot-format")) return UsageError("--plot-format goes with --plots DIR");
  std::vector<std::string> pictures;
  if (plots) pictures = UncertaintyChartPaths(settings.SlowPath, validate, plotDir, "." + format);
  std::vector<std::string> written = outputs;
  written.insert(written.end(), pictures.begin(), pictures.end());
  std::error_code ec;
  for (const std::string& path : written)
    if (std::filesystem::exists(path, ec) && !args.Has("--force")) {
      std::cerr << path << ": exists already; give --force to replace it\n";
      return ExitFailed;
    }

  TValidationData data;
  if (const int status = ReadValidationData(args, args.Positional[0], data, {}, "uncertainty");
      status != ExitOk)
    return status;
  const bool evaporation = args.Options.count("--pet-column") > 0;
  if (evaporation && !(PetMeanOf(data.Pets) > 0)) {
    std::cerr << data.Path << ": --pet-column needs DATA as a table whose potential evaporation "
                 "is not 0 throughout\n";
    return ExitFailed;
  }
  if (const std::string why = CheckValidationRecord({data.Times, data.Rains, data.Runoffs}, settings.WarmUp);
      !why.empty()) {
    std::cerr << data.Path << ": " << why << "\n";
    return ExitFailed;
  }
  TValidationData next;
  if (validate) {
    const TPeriod period{OptionOr(args, "--validate-from", ""), OptionOr(args, "--validate-to", "")};
    if (const int status = ReadValidationData(args, args.Options.at("--validate"), next, period, "uncertainty");
        status != ExitOk)
      return status;
    if (const std::string why = CheckValidationRecord({next.Times, next.Rains, next.Runoffs}, settings.WarmUp);
        !why.empty()) {
      std::cerr << next.Path << ": " << why << "\n";
      return ExitFailed;
    }
    if (evaporation && next.Pets.empty()) {
      std::cerr << next.Path << ": --pet-column needs DATA2 as a table\n";
      return ExitFailed;
    }
  }

  TWorkPool pool;
  settings.Pet = data.Pets;
  if (evaporation) settings.PetMean = PetMeanOf(data.Pets);
  std::vector<TUncertaintySample> samples;
  {
    TProgressLine progress;
    samples = SampleUncertainty(data.View(), settings, &pool, std::cref(progress));
  }
  int determined = 0;
  const auto behavioural =
      SelectConfirmed(data.View(), samples, rule, settings, &pool, error, &determined);
  if (!behavioural) {
    std::cerr << data.Path << ": " << error << "\n";
    return ExitFailed;
  }
  const TBands bands = ComputeBands(data.View(), samples, *behavioural, settings, &pool);
  if (!Write(outputs[0], SamplesText(samples, *behavioural, settings.SlowPath)) ||
      !Write(outputs[1], BandsText(data, bands)))
    return ExitFailed;
  std::optional<TBandFit> nextFit;
  TBands nextBands;
  if (validate) {
    TUncertaintySettings other = settings;
    other.Pet = next.Pets;
    nextBands = ComputeBands(next.View(), samples, *behavioural, other, &pool);
    if (!Write(outputs[2], BandsText(next, nextBands))) return ExitFailed;
    nextFit = JudgeBands(next.Runoffs, nextBands, settings.WarmUp);
  }
  if (plots) {
    std::filesystem::create_directories(plotDir, ec);
    std::vector<TBandPicture> pictured{{"calibration: " + data.First() + " to " + data.Last(),
                                        data.Times, data.Runoffs, data.Dates, &bands}};
    if (validate)
      pictured.push_back({"validation: " + next.First() + " to " + next.Last(), next.Times,
                          next.Runoffs, next.Dates, &nextBands});
    if (!SaveCharts(UncertaintyCharts(samples, *behavioural, settings, pictured, plotDir, "." + format),
                    error)) {
      std::cerr << "The pictures could not be drawn: " << error << "\n";
      return ExitFailed;
    }
  }

  const TBehavioural& b = *behavioural;
  std::size_t best = b.Members.front();
  for (std::size_t i : b.Members)
    if (samples[i].Objective > samples[best].Objective) best = i;
  const TUncertaintySample& s = samples[best];
  const char* name = ObjectiveName(settings.Objective);
  std::cout << "samples: " << samples.size() << " run, " << b.Members.size() << " behavioural ("
            << name << " " << FullPrecision(b.Threshold) << " or more); " << determined
            << " fitted by the whole determination (the behavioural and those near), the others "
               "by a quick search of reservoirs and alpha\n"
            << "best: maximum storage " << FullPrecision(s.Store.MaxSto) << " mm, initial storage "
            << FullPrecision(s.Store.IniSto) << " mm, escape rate " << FullPrecision(s.Store.MaxEsc) << " mm per time unit";
  if (settings.SlowPath)
    std::cout << ", slow path share " << FullPrecision(s.BaseShare) << ", alpha "
              << FullPrecision(s.BaseAlpha);
  std::cout << ", reservoirs " << s.NrOfRes << ", alpha " << FormatFixed(s.Alpha, 0, 3) << ", "
            << name << " " << FullPrecision(s.Objective) << "\n"
            << "behavioural 5-95 %: maximum storage "
            << Range(samples, b, [](const TUncertaintySample& x) { return x.Store.MaxSto; }, 2)
            << " mm, initial storage "
            << Range(samples, b, [](const TUncertaintySample& x) { return x.Store.IniSto; }, 2)
            << " mm, escape rate "
            << Range(samples, b, [](const TUncertaintySample& x) { return x.Store.MaxEsc; }, 3);
  if (settings.SlowPath)
    std::cout << ", slow path share "
              << Range(samples, b, [](const TUncertaintySample& x) { return x.BaseShare; }, 3)
              << ", slow alpha "
              << Range(samples, b, [](const TUncertaintySample& x) { return x.BaseAlpha; }, 4);
  std::cout << ", reservoirs "
            << Range(samples, b, [](const TUncertaintySample& x) { return static_cast<double>(x.NrOfRes); }, 0)
            << ", alpha "
            << Range(samples, b, [](const TUncertaintySample& x) { return x.Alpha; }, 3) << "\n"
            << BandLine("calibration", JudgeBands(data.Runoffs, bands, settings.WarmUp)) << "\n";
  if (nextFit) std::cout << BandLine("validation", *nextFit) << "\n";
  for (const std::string& path : outputs) std::cout << path << " written\n";
  if (plots) std::cout << pictures.size() << " pictures written in " << plotDir << "\n";
  return ExitOk;
}
