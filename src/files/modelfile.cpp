#include "files/modelfile.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

using TJson = nlohmann::ordered_json;

namespace {

TJson Number(double value) { return std::isfinite(value) ? TJson(value) : TJson(nullptr); }

// Thrown while reading: what is wrong, naming the key.
struct TModelFault {
  std::string Text;
};

const TJson& Member(const TJson& object, const char* key, const std::string& where = "") {
  const auto it = object.find(key);
  if (it == object.end()) throw TModelFault{"the key \"" + where + key + "\" is missing"};
  return *it;
}

double RealOf(const TJson& object, const char* key, const std::string& where = "") {
  const TJson& value = Member(object, key, where);
  if (!value.is_number()) throw TModelFault{"the key \"" + where + key + "\" is not a number"};
  return value.get<double>();
}

int IntOf(const TJson& object, const char* key, const std::string& where = "") {
  const TJson& value = Member(object, key, where);
  if (!value.is_number_integer())
    throw TModelFault{"the key \"" + where + key + "\" is not a whole number"};
  const auto v = value.get<long long>();
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    throw TModelFault{"the key \"" + where + key + "\" is out of range"};
  return static_cast<int>(v);
}

std::string TextOf(const TJson& object, const char* key, const std::string& where = "") {
  const TJson& value = Member(object, key, where);
  if (!value.is_string()) throw TModelFault{"the key \"" + where + key + "\" is not a text"};
  return value.get<std::string>();
}

std::string ValueText(double value) { return TJson(value).dump(); }

}  // namespace

std::string FormatModelFile(const TModelFile& model) {
  TJson j;
  j["format"] = ModelFileFormat;
  j["version"] = ModelFileVersion;
  j["max_storage"] = Number(model.Store.MaxSto);
  j["initial_storage"] = Number(model.Store.IniSto);
  j["max_escape"] = Number(model.Store.MaxEsc);
  j["reservoirs"] = model.Reservoirs;
  j["alpha"] = Number(model.Alpha);
  j["objective"] = model.Objective;
  j["warm_up"] = model.WarmUp;
  j["time_unit"] = model.TimeUnit;
  j["period"] = {{"first", model.First}, {"last", model.Last}, {"points", model.Points}};
  j["source"] = model.Source;
  TJson criteria = TJson::object();
  for (const auto& [key, value] : model.Criteria) criteria[key] = Number(value);
  j["criteria"] = criteria;
  if (model.Extensions.SlowPath) {
    j["base_share"] = Number(model.Extensions.BaseShare);
    j["base_alpha"] = Number(model.Extensions.BaseAlpha);
  }
  if (model.Extensions.Evaporation) {
    j["pet"] = model.Pet;
    j["pet_mean"] = Number(model.Extensions.PetMean);
  }
  // Doubles are written to the last bit, so the model read back is the
  // model written.
  return j.dump(2) + "\n";
}

TModelFileRead ReadModelFile(const std::string& text) {
  TModelFileRead read;
  const TJson j = TJson::parse(text, nullptr, false);
  if (j.is_discarded()) {
    read.Error = "is not a model file: no JSON text";
    return read;
  }
  if (!j.is_object()) {
    read.Error = "is not a model file: no JSON object";
    return read;
  }
  try {
    const std::string format = TextOf(j, "format");
    if (format != ModelFileFormat)
      throw TModelFault{"the key \"format\" is \"" + format + "\", not \"" + ModelFileFormat + "\""};
    const int version = IntOf(j, "version");
    if (version < 1 || version > ModelFileVersion)
      throw TModelFault{"the key \"version\" is " + std::to_string(version) +
                        "; this program reads version 1 to " + std::to_string(ModelFileVersion)};
    TModelFile& m = read.Model;
    m.Store.MaxSto = RealOf(j, "max_storage");
    m.Store.IniSto = RealOf(j, "initial_storage");
    m.Store.MaxEsc = RealOf(j, "max_escape");
    m.Reservoirs = IntOf(j, "reservoirs");
    m.Alpha = RealOf(j, "alpha");
    m.Objective = TextOf(j, "objective");
    m.WarmUp = IntOf(j, "warm_up");
    m.TimeUnit = TextOf(j, "time_unit");
    const TJson& period = Member(j, "period");
    if (!period.is_object()) throw TModelFault{"the key \"period\" is not an object"};
    m.First = TextOf(period, "first", "period.");
    m.Last = TextOf(period, "last", "period.");
    m.Points = IntOf(period, "points", "period.");
    m.Source = TextOf(j, "source");
    const TJson& criteria = Member(j, "criteria");
    if (!criteria.is_object()) throw TModelFault{"the key \"criteria\" is not an object"};
    for (const auto& [key, value] : criteria.items()) {
      if (value.is_null()) {
        m.Criteria.emplace_back(key, std::numeric_limits<double>::quiet_NaN());
      } else if (value.is_number()) {
        m.Criteria.emplace_back(key, value.get<double>());
      } else {
        throw TModelFault{"the key \"criteria." + key + "\" is not a number"};
      }
    }
    TExtensions& e = m.Extensions;
    if (j.contains("base_share") || j.contains("base_alpha")) {
      e.SlowPath = true;
      e.BaseShare = RealOf(j, "base_share");
      e.BaseAlpha = RealOf(j, "base_alpha");
      if (!(e.BaseShare >= 0 && e.BaseShare <= 1))
        throw TModelFault{"the key \"base_share\" is " + ValueText(e.BaseShare) +
                          "; the share of the slow path is 0 to 1"};
      if (!(e.BaseAlpha > 0 && std::isfinite(e.BaseAlpha)))
        throw TModelFault{"the key \"base_alpha\" is " + ValueText(e.BaseAlpha) +
                          "; the slow reaction factor is a number above 0"};
    }
    if (j.contains("pet") || j.contains("pet_mean")) {
      e.Evaporation = true;
      m.Pet = TextOf(j, "pet");
      e.PetMean = RealOf(j, "pet_mean");
      if (!(e.PetMean > 0 && std::isfinite(e.PetMean)))
        throw TModelFault{"the key \"pet_mean\" is " + ValueText(e.PetMean) +
                          "; the mean potential evaporation is a number above 0"};
    }
  } catch (const TModelFault& fault) {
    read.Error = fault.Text;
  }
  return read;
}

bool LooksLikeModelFile(const std::string& bytes) {
  for (char c : bytes) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    return c == '{';
  }
  return false;
}
