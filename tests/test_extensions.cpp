// The slow flow path and the evaporation from the record beside the
// designed model: the runs, the model file, the table's PET column, and
// calibrate and validate with them as a user runs them.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "base/numformat.h"
#include "batch/batchargs.h"
#include "files/filepaths.h"
#include "files/modelfile.h"
#include "files/tabledates.h"
#include "files/tableimport.h"
#include "model/calibration.h"
#include "model/engine.h"
#include "model/routing.h"
#include "model/search.h"
#include "support/batch_run.h"
#include "support/test_support.h"

namespace {

const long long Jan1985 = 473385600;  // 1985-01-01

// Potential evaporation over the seasons, as a daily record has it.
std::vector<double> SeasonalPet(int n) {
  std::vector<double> pet;
  for (int i = 0; i < n; ++i)
    pet.push_back(2 + 1.5 * std::sin(2 * std::numbers::pi * i / 365.0));
  return pet;
}

TExtensions Slow(double share, double alpha) {
  TExtensions e;
  e.SlowPath = true;
  e.BaseShare = share;
  e.BaseAlpha = alpha;
  return e;
}

struct TRecordHeld {
  std::vector<double> Time, Rain, Runoff;
  explicit TRecordHeld(int n) : Time(Times(n)), Rain(Rains(n)), Runoff(Runoffs(n)) {}
  TRecordView View() const { return {Time, Rain, Runoff}; }
};

void ExpectSameRun(const TRun& a, const TRun& b) {
  ASSERT_EQ(a.Stop, b.Stop);
  EXPECT_EQ(a.NrOfRes, b.NrOfRes);
  EXPECT_EQ(a.Alpha, b.Alpha);
  EXPECT_EQ(a.Recharge, b.Recharge);
  EXPECT_EQ(a.Calculated, b.Calculated);
  for (const auto& info : Criteria)
    if (!std::isnan(a.Fit[info.Id])) {
      EXPECT_EQ(a.Fit[info.Id], b.Fit[info.Id]) << info.Key;
    }
}

// A share of 0 and a PET equal to its mean leave the designed model, to
// the last bit, for the determination and the reconstruction alike.
TEST(Extensions, ShareZeroAndConstantPetAreTheDesign) {
  const TRecordHeld record(400);
  const std::vector<double> flat(400, 2.5);
  TExtensions both = Slow(0, 0.05);
  both.Evaporation = true;
  both.PetMean = 2.5;
  const TStoreParameters stores[] = {{30, 10, 1}, {120, 0, 2.5}, {8, 8, 0.4}};
  for (const auto& store : stores) {
    for (const TExtensions& e : {Slow(0, 0.05), both}) {
      TRunSettings settings;
      settings.WarmUp = 30;
      settings.Extensions = e;
      settings.Pet = flat;
      const TRun design = DetermineRun(record.View(), store, {.WarmUp = 30});
      ExpectSameRun(DetermineRun(record.View(), store, settings), design);
      ExpectSameRun(ReconstructRun(record.View(), store, 3, 0.25, settings),
                    ReconstructRun(record.View(), store, 3, 0.25, {.WarmUp = 30}));
    }
  }
}

// With the PET at its mean every step escapes as the design's; any other
// constant is the design with the mean taken over the record.
TEST(Extensions, ConstantPetGivesTheDesignsEscape) {
  const int n = 300;
  const auto time = Times(n), rain = Rains(n);
  for (double level : {0.3, 1.7, 4.0}) {
    const std::vector<double> pet(n, level);
    const TStoreParameters store{50, 20, 1.2};
    std::vector<double> design(n), scaled(n), byMean(n);
    RoutePreReservoir(time, rain, store, TRouteVariant::Analysis, design);
    RoutePreReservoir(time, rain, store, TRouteVariant::Analysis, scaled, pet, level);
    RoutePreReservoir(time, rain, store, TRouteVariant::Analysis, byMean, pet, PetMeanOf(pet));
    EXPECT_EQ(scaled, design) << level;
    for (int i = 0; i < n; ++i)
      EXPECT_NEAR(byMean[static_cast<std::size_t>(i)], design[static_cast<std::size_t>(i)], 1e-12);
  }
  // Twice the mean escapes twice as much: a dry step after a full store
  // leaves twice the deficit, so the same rain makes less recharge.
  const std::vector<double> t{1, 2, 3}, r{100, 0, 10};
  const TStoreParameters store{10, 10, 2};
  std::vector<double> one(3), two(3);
  RoutePreReservoir(t, r, store, TRouteVariant::Analysis, one, std::vector<double>{1, 1, 1}, 1.0);
  RoutePreReservoir(t, r, store, TRouteVariant::Analysis, two, std::vector<double>{1, 2, 2}, 1.0);
  EXPECT_EQ(one[1], 0);
  EXPECT_DOUBLE_EQ(10 - one[2], 2 + 2 * 0.8);  // the deficit and the escape at 0.8 full
  EXPECT_DOUBLE_EQ(10 - two[2], 4 + 2 * 0.6 * 2);
}

// The first measured runoff splits in the shares, the slow reservoir then
// fills from its share of each recharge, and the calculated runoff is the
// cascade's plus the slow one's.
TEST(Extensions, TheSlowPathSplitsTheFirstRunoffAndTheRecharge) {
  const TRecordHeld record(200);
  for (double share : {0.2, 0.5, 1.0}) {
    TRunSettings settings;
    settings.Extensions = Slow(share, 0.04);
    const TRun run = ReconstructRun(record.View(), {40, 20, 1}, 1, 0.3, settings);
    ASSERT_TRUE(run.Ok());
    ASSERT_EQ(run.Slow.size(), 200u);
    const double first = run.Measured[0];
    EXPECT_EQ(run.Slow[0], share * first);
    EXPECT_EQ(run.Quick[0], (1 - share) * first);
    const double c = std::exp(-0.04 * run.Delta);
    for (std::size_t t = 1; t < 200; ++t)
      EXPECT_NEAR(run.Slow[t], c * run.Slow[t - 1] + (1 - c) * share * run.Recharge[t], 1e-12);
    for (std::size_t t = 0; t < 200; ++t)
      EXPECT_EQ(run.Calculated[t], run.Quick[t] + run.Slow[t]);
    if (share == 1.0) {  // nothing left for the cascade
      EXPECT_EQ(*std::max_element(run.Quick.begin(), run.Quick.end()), 0);
    }
  }
}

// The search on the runoff less the slow flow is still exact: a record made
// by the extended model gives its reservoirs and alpha back.
TEST(Extensions, TheDeterminationFindsThePairOfARecordMadeWithTheSlowPath) {
  const int n = 600;
  TRecordHeld record(n);
  const auto pet = SeasonalPet(n);
  TRunSettings settings;
  settings.Extensions = Slow(0.35, 0.02);
  settings.Extensions.Evaporation = true;
  settings.Extensions.PetMean = PetMeanOf(pet);
  settings.Pet = pet;
  const TStoreParameters store{60, 30, 1.5};
  // The first point holds the cascade's start alone, which the search
  // takes as well: pairs whose first reservoirs drain slowly keep it small.
  for (const auto& [reservoirs, k] : {std::pair{1, 700}, {2, 100}, {3, 30}}) {
    const double alpha = AlphaCandidateTable()[k];
    const TRun made = ReconstructRun(record.View(), store, reservoirs, alpha, settings);
    ASSERT_TRUE(made.Ok());
    // The first runoff is what the made run started from, as a prediction
    // has it.
    TRecordHeld fitted(n);
    fitted.Runoff = made.Calculated;
    fitted.Runoff[0] = made.Measured[0];
    settings.WarmUp = 1;
    const TRun found = DetermineRun(fitted.View(), store, settings);
    ASSERT_TRUE(found.Ok());
    EXPECT_EQ(found.NrOfRes, reservoirs);
    EXPECT_EQ(found.Alpha, alpha);
    EXPECT_GT(found.Fit[TCriterion::Nse], 0.999999);
  }
}

TEST(Extensions, RunsRefuseWhatCannotBeRun) {
  const TRecordHeld record(50);
  const std::vector<double> pet(50, 1), shortPet(49, 1);
  std::vector<double> negative(50, 1);
  negative[7] = -0.5;
  TExtensions evaporation;
  evaporation.Evaporation = true;
  evaporation.PetMean = 1;
  TExtensions noMean = evaporation;
  noMean.PetMean = 0;
  const struct {
    const char* Name;
    TExtensions Extensions;
    const std::vector<double>* Pet;
    const char* Says;
  } cases[] = {
      {"share above 1", Slow(1.5, 0.1), &pet, "0 to 1"},
      {"share below 0", Slow(-0.1, 0.1), &pet, "0 to 1"},
      {"alpha 0", Slow(0.5, 0), &pet, "above 0"},
      {"alpha not a number", Slow(0.5, std::nan("")), &pet, "above 0"},
      {"mean 0", noMean, &pet, "mean potential evaporation"},
      {"PET short", evaporation, &shortPet, "49 values of it for 50 points"},
      {"PET negative", evaporation, &negative, "point 8 is -0.5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_NE(ExtensionsFault(c.Extensions, *c.Pet, 50).find(c.Says), std::string::npos)
        << ExtensionsFault(c.Extensions, *c.Pet, 50);
    TRunSettings settings;
    settings.Extensions = c.Extensions;
    settings.Pet = *c.Pet;
    EXPECT_EQ(DetermineRun(record.View(), {30, 10, 1}, settings).Stop, TRunStop::BadExtensions);
    EXPECT_EQ(ReconstructRun(record.View(), {30, 10, 1}, 2, 0.3, settings).Stop,
              TRunStop::BadExtensions);
  }
}

TModelFile SomeModel() {
  TModelFile m;
  m.Store = {120.5, 60.25, 2.5};
  m.Reservoirs = 3;
  m.Alpha = 0.25;
  m.Objective = "nse";
  m.TimeUnit = "day";
  m.First = "1985-01-01";
  m.Last = "1986-12-31";
  m.Points = 730;
  m.Criteria = {{"nse", 0.8}};
  return m;
}

TEST(ModelFileExtensions, WrittenOnlyWhenOnAndReadBack) {
  TModelFile m = SomeModel();
  const std::string design = FormatModelFile(m);
  for (const char* key : {"base_share", "base_alpha", "\"pet\"", "pet_mean"})
    EXPECT_EQ(design.find(key), std::string::npos) << key;
  EXPECT_FALSE(ReadModelFile(design).Model.Extensions.Any());

  m.Extensions = Slow(1.0 / 3, 0.0123456789);
  m.Extensions.Evaporation = true;
  m.Extensions.PetMean = 2.0137193333333399;
  m.Pet = "Ep";
  const TModelFileRead read = ReadModelFile(FormatModelFile(m));
  ASSERT_EQ(read.Error, "");
  EXPECT_EQ(read.Model.Extensions, m.Extensions);
  EXPECT_EQ(read.Model.Pet, "Ep");
}

TEST(ModelFileExtensions, RefusesWhatIsOutOfRange) {
  const std::string head = FormatModelFile(SomeModel());
  const auto with = [&](const std::string& members) {
    return head.substr(0, head.rfind('}')) + "," + members + "}\n";
  };
  const struct {
    const char* Members;
    const char* Says;
  } cases[] = {
      {R"("base_share": 1.5, "base_alpha": 0.1)", "\"base_share\" is 1.5; the share"},
      {R"("base_share": -0.25, "base_alpha": 0.1)", "\"base_share\" is -0.25"},
      {R"("base_share": "half", "base_alpha": 0.1)", "\"base_share\" is not a number"},
      {R"("base_share": 0.5)", "\"base_alpha\" is missing"},
      {R"("base_share": 0.5, "base_alpha": 0)", "\"base_alpha\" is 0"},
      {R"("pet": "5")", "\"pet_mean\" is missing"},
      {R"("pet": "5", "pet_mean": 0)", "\"pet_mean\" is 0"},
      {R"("pet": 5, "pet_mean": 2)", "\"pet\" is not a text"},
  };
  for (const auto& c : cases) {
    const TModelFileRead read = ReadModelFile(with(c.Members));
    EXPECT_NE(read.Error.find(c.Says), std::string::npos) << c.Members << ": " << read.Error;
  }
}

// The PET column as the runoff's: read, a short gap interpolated, a
// negative value refused naming its line and date (or time).
TEST(TablePet, ReadInterpolatedAndNegativeRefused) {
  TTableImportOptions o;
  o.FileName = "t.csv";
  o.DateColumn = TableColumnOf("date");
  o.RainColumn = TableColumnOf("P");
  o.RunoffColumn = TableColumnOf("Q");
  o.PetColumn = TableColumnOf("E");
  const std::string csv = "date,P,Q,E\n1990-01-01,1,1,2\n1990-01-02,1,2,NA\n1990-01-03,1,3,3\n";
  const TTableImport read = ImportTable(csv, o);
  ASSERT_TRUE(read.Ok()) << read.Error;
  EXPECT_EQ(read.PetColumn, 4);
  EXPECT_EQ(read.Pets, (std::vector<double>{2, 2.5, 3}));
  ASSERT_EQ(read.PetInterpolated.size(), 1u);
  EXPECT_EQ(read.PetInterpolated[0].Line, 3);

  const struct {
    const char* Name;
    const char* Csv;
    bool Dated, TimeColumn;
    const char* Says;
  } refused[] = {
      {"dated", "date,P,Q,E\n1990-01-01,1,1,2\n1990-01-02,1,2,-0.5\n1990-01-03,1,3,3\n", true,
       false, "t.csv:3: column 4 (E): the potential evaporation -0.5 on 1990-01-02 is negative"},
      {"by row", "t,P,Q,E\n1,1,1,2\n2,1,2,2\n3,1,3,-1\n", false, false,
       "t.csv:4: column 4 (E): the potential evaporation -1 at time 3 is negative"},
      {"time column", "t,P,Q,E\n1,1,1,-2\n2,1,2,2\n3,1,3,1\n", false, true,
       "t.csv:2: column 4 (E): the potential evaporation -2 at time 1 is negative"},
      {"missing at the start", "date,P,Q,E\n1990-01-01,1,1,NA\n1990-01-02,1,2,2\n", true, false,
       "potential evaporation missing on 1990-01-01"},
  };
  for (const auto& c : refused) {
    TTableImportOptions r = o;
    r.DateColumn = TableColumnOf(c.Dated ? "date" : "");
    if (c.TimeColumn) r.TimeColumn = TableColumnOf("t");
    const TTableImport got = ImportTable(c.Csv, r);
    EXPECT_NE(got.Error.find(c.Says), std::string::npos) << c.Name << ": " << got.Error;
  }
}

// The search with the slow path takes in the search without it (a share of
// 0), and starts from its best: it never ends below it.
TEST(Extensions, TheWiderSearchEndsNoLowerThanTheNarrower) {
  const int n = 700;
  const TRecordHeld record(n);
  const auto pet = SeasonalPet(n);
  for (const TObjective objective : {TObjective::Nse, TObjective::Kge}) {
    TCalibrationSettings settings;
    settings.Objective = objective;
    settings.WarmUp = 100;
    settings.Pet = pet;
    const TCalibrationPoint narrow = TCalibration(record.View(), settings).Search();
    settings.SlowPath = true;
    const TCalibrationPoint wide = TCalibration(record.View(), settings).Search();
    ASSERT_TRUE(narrow.Valid && wide.Valid);
    EXPECT_FALSE(narrow.Extensions.SlowPath);
    EXPECT_TRUE(wide.Extensions.SlowPath && wide.Extensions.Evaporation);
    EXPECT_GE(wide.Objective, narrow.Objective) << ObjectiveName(objective);
  }
}

// ---- calibrate and validate, as a user runs them

// A daily table made by the extended model from known parameters: date,
// P, Q, E.
std::string MadeTable(int n, const TExtensions& e, const std::vector<double>& pet) {
  TRecordHeld record(n);
  TRunSettings settings;
  settings.Extensions = e;
  settings.Pet = pet;
  const TRun run = ReconstructRun(record.View(), {60, 30, 1.5}, 2, AlphaCandidateTable()[150],
                                  settings);
  EXPECT_TRUE(run.Ok());
  std::string csv = "date,P,Q,E\n";
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
    csv += FormatTableDate(Jan1985 + static_cast<long long>(i) * SecondsPerDay, false) + "," +
           FullPrecision(record.Rain[i]) + "," +
           FullPrecision(i == 0 ? run.Measured[0] : run.Calculated[i]) + "," +
           FullPrecision(pet[i]) + "\n";
  return csv;
}

const char* const Columns = " --date-column 1 --rain-column P --runoff-column Q";

class ExtensionsBatch : public ::testing::Test {
protected:
  TScratchDir dir;
};

TEST_F(ExtensionsBatch, CalibrateRecoversARecordMadeByTheExtendedModel) {
  const int n = 1000;
  const auto pet = SeasonalPet(n);
  TExtensions e = Slow(0.4, 0.02);
  e.Evaporation = true;
  e.PetMean = PetMeanOf(pet);
  WriteFileBytes(dir.File("made.csv"), MadeTable(n, e, pet));
  const auto r = Batch(dir, std::string("calibrate made.csv -o m.json --objective nse --slow-path "
                                        "--pet-column E") + Columns);
  ASSERT_EQ(r.Status, 0) << r.Err;
  const TModelFileRead model = ReadModelFile(ReadFileBytes(dir.File("m.json")));
  ASSERT_EQ(model.Error, "");
  EXPECT_TRUE(model.Model.Extensions.SlowPath);
  EXPECT_TRUE(model.Model.Extensions.Evaporation);
  EXPECT_EQ(model.Model.Pet, "E");
  EXPECT_EQ(model.Model.Extensions.PetMean, PetMeanOf(pet));
  double nse = 0;
  for (const auto& [key, value] : model.Model.Criteria)
    if (key == "nse") nse = value;
  EXPECT_GT(nse, 0.999) << r.Out;

  // validate reads the PET column the model file names, and its table
  // shows the two flows.
  const auto v = Batch(dir, std::string("validate m.json made.csv --table t.csv") + Columns);
  ASSERT_EQ(v.Status, 0) << v.Err;
  EXPECT_NE(v.Out.find("slow path: share"), std::string::npos) << v.Out;
  const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("t.csv")));
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines[0], "date,time,rain,recharge,measured,calculated,quick,slow");
  const auto cells = SplitLines(lines[5], ",");
  ASSERT_EQ(cells.size(), 8u);
  EXPECT_NEAR(std::stod(cells[5]), std::stod(cells[6]) + std::stod(cells[7]), 1e-12);

  // Its picture shows the two flows apart, under the dates of the record.
  const auto p = Batch(dir, std::string("validate m.json made.csv --plot h.svg") + Columns);
  ASSERT_EQ(p.Status, 0) << p.Err;
  const std::string svg = ReadFileBytes(dir.File("h.svg"));
  for (const char* text : {"<svg", "quick flow", "slow flow", "calculated", "measured"})
    EXPECT_NE(svg.find(text), std::string::npos) << text;
  const auto bad = Batch(dir, std::string("validate m.json made.csv --plot h.bmp") + Columns);
  EXPECT_EQ(bad.Status, 2);
  EXPECT_NE(bad.Err.find("must end in .png or .svg"), std::string::npos) << bad.Err;
  EXPECT_FALSE(FileExists(dir.File("h.bmp")));
}

// A model file with the slow path at share 0 validates as the design's to
// the last digit, its table the design's with two more columns.
TEST_F(ExtensionsBatch, ShareZeroValidatesAsTheDesign) {
  const int n = 400;
  WriteFileBytes(dir.File("made.csv"), MadeTable(n, {}, SeasonalPet(n)));
  TModelFile m = SomeModel();
  WriteFileBytes(dir.File("design.json"), FormatModelFile(m));
  m.Extensions = Slow(0, 0.1);
  WriteFileBytes(dir.File("zero.json"), FormatModelFile(m));
  const auto design = Batch(dir, std::string("validate design.json made.csv --warm-up 30 "
                                             "--table design.csv") + Columns);
  const auto zero = Batch(dir, std::string("validate zero.json made.csv --warm-up 30 "
                                           "--table zero.csv") + Columns);
  ASSERT_EQ(design.Status, 0) << design.Err;
  ASSERT_EQ(zero.Status, 0) << zero.Err;
  const auto a = design.Lines(), b = zero.Lines();
  ASSERT_GE(a.size(), 4u);
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(a[i], b[i]);
  const auto rowsA = SplitCrLfLines(ReadFileBytes(dir.File("design.csv")));
  const auto rowsB = SplitCrLfLines(ReadFileBytes(dir.File("zero.csv")));
  ASSERT_EQ(rowsA.size(), rowsB.size());
  for (std::size_t i = 1; i < rowsA.size(); ++i)
    if (!rowsA[i].empty()) {
      EXPECT_TRUE(rowsB[i].starts_with(rowsA[i] + ",")) << i;
    }
}

TEST_F(ExtensionsBatch, Refusals) {
  const int n = 100;
  WriteFileBytes(dir.File("made.csv"), MadeTable(n, {}, SeasonalPet(n)));
  TModelFile m = SomeModel();
  m.Extensions.Evaporation = true;
  m.Extensions.PetMean = 2;
  m.Pet = "E";
  WriteFileBytes(dir.File("pet.json"), FormatModelFile(m));
  std::string dry = "date,P,Q,E\n";
  for (int i = 0; i < 30; ++i)
    dry += FormatTableDate(Jan1985 + i * SecondsPerDay, false) + ",1," + std::to_string(1 + i % 5) +
           ",0\n";
  WriteFileBytes(dir.File("dry.csv"), dry);
  const auto inp = Batch(dir, std::string("import made.csv -o made.inp --option determine "
                                          "--max-storage 50 --initial-storage 20 --max-escape 1") +
                                  Columns);
  ASSERT_EQ(inp.Status, 0) << inp.Err;
  const TBatchRefusal cases[] = {
      {"an input file holds no slow path",
       "calibrate made.csv -o best.inp --slow-path --date-column 1 --rain-column P "
       "--runoff-column Q",
       ExitUsage, "go with -o MODEL.json"},
      {"an input file holds no PET", "calibrate made.inp -o m.json --slow-path --pet-column 4",
       ExitUsage, "the table options go with a table"},
      {"a PET model needs a table", "validate pet.json made.inp", ExitFailed,
       "give DATA as a table with --pet-column"},
      {"a column 0", "validate pet.json made.csv --date-column 1 --rain-column P "
                     "--runoff-column Q --pet-column 0",
       ExitUsage, "--pet-column counts from 1"},
      {"no evaporation at all", "calibrate dry.csv -o m.json --pet-column E --date-column 1 "
                                "--rain-column P --runoff-column Q",
       ExitFailed, "0 throughout"},
  };
  for (const auto& c : cases) {
    const auto r = Batch(dir, c.Args);
    EXPECT_EQ(r.Status, c.Status) << c.Name << "\n" << r.Err;
    EXPECT_NE(r.Err.find(c.Says), std::string::npos) << c.Name << "\n" << r.Err;
  }
}

}  // namespace
