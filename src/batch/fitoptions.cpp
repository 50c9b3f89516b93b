#include "batch/fitoptions.h"

#include "base/numparse.h"

std::optional<TObjective> ParseObjective(const std::string& text) {
  const auto criterion = CriterionByKey(text);
  if (!criterion || !InfoOf(*criterion).Objective) return std::nullopt;
  return criterion;
}

std::string ObjectiveChoices() {
  std::string keys = ObjectiveKeys(), text;
  std::size_t start = 0;
  for (auto bar = keys.find('|'); ; bar = keys.find('|', start)) {
    const std::string key = keys.substr(start, bar == std::string::npos ? bar : bar - start);
    if (!text.empty()) text += bar == std::string::npos ? " or " : ", ";
    text += key;
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return text;
}

std::optional<TCalibrationBounds> ParseRange(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto low = ParseReal(std::string_view(text).substr(0, colon));
  const auto high = ParseReal(std::string_view(text).substr(colon + 1));
  if (!low || !high) return std::nullopt;
  return TCalibrationBounds{*low, *high};
}

bool GetFitOptions(const TArgs& args, TObjective& objective, TCalibrationBounds& bounds,
                   std::string& error) {
  if (args.Options.count("--objective")) {
    const auto given = ParseObjective(args.Options.at("--objective"));
    if (!given) {
      error = "--objective must be " + ObjectiveChoices();
      return false;
    }
    objective = *given;
  }
  if (args.Options.count("--max-storage")) {
    const auto given = ParseRange(args.Options.at("--max-storage"));
    if (!given) {
      error = "--max-storage takes a range LO:HI in mm, such as 1:500";
      return false;
    }
    bounds = *given;
  }
  if (const std::string why = CheckCalibrationBounds(bounds); !why.empty()) {
    error = "--max-storage " + args.Options.at("--max-storage") + ": " + why;
    return false;
  }
  return true;
}
