#include "sheet/fieldchecks.h"

#include "model/dmquorell.h"
#include "base/numformat.h"
#include "base/numparse.h"

TNrOfDataCheck CheckNrOfData(std::string_view text) {
  const auto count = StringToInt(text);
  if (!count) return {"The number of data is not a valid integer", std::nullopt, std::nullopt};
  if (*count < MinNrOfData)
    return {" The minimum number of data is 12", std::to_string(MinNrOfData), std::nullopt};
  if (*count > MaxNrOfData)
    return {" The maximum number of data is 1500. Not enough? Contact the author.",
            std::to_string(MaxNrOfData), std::nullopt};
  return {"", std::nullopt, count};
}

namespace {

struct TFieldTexts {
  const char* NotReal;
  const char* Negative;  // nullptr: no sign test
};

TFieldTexts TextsOf(TSheetField field) {
  switch (field) {
    case TSheetField::MaxStorage:
      return {"The maximum storage is not a valid real", "The maximum storage must be >= 0"};
    case TSheetField::InitialStorage:
      return {"The initial storage is not a valid real", "The initial storage must be >= 0"};
    case TSheetField::EscapeRate:
      return {"The escape rate is not a valid real", "The escape rate must be >= 0"};
    case TSheetField::AlphaValue:
      return {"The A coefficient is not a valid real", nullptr};
    case TSheetField::InitialRunoff:
      return {"The initial runoff is not a valid real", "The initial runoff must be >= 0"};
  }
  return {"", nullptr};
}

}  // namespace

TFieldCheck CheckField(TSheetField field, std::string_view text, std::string_view maxStorageText,
                       char separator) {
  const TFieldTexts texts = TextsOf(field);
  TFieldCheck check;
  const auto value = StringToFloat(text, separator);
  if (!value) {
    check.Messages.push_back(texts.NotReal);
    // Built in place: GCC 12 warns wrongly of an overlap in assigning "0".
    check.NewText.emplace(1, '0');
    check.Value = 0;
    return check;
  }
  check.Value = *value;
  auto replace = [&](std::string newText, double newValue) {
    check.NewText = std::move(newText);
    check.Value = newValue;
  };
  if (texts.Negative && *value < 0) {
    check.Messages.push_back(texts.Negative);
    replace("0", 0);
  }
  if (field == TSheetField::InitialStorage || field == TSheetField::EscapeRate) {
    const auto maxStorage = StringToFloat(maxStorageText, separator);
    if (!maxStorage) {
      check.ConversionError = NotAFloatText(maxStorageText);
      // Only a text already replaced is taken; the typed one is not.
      if (!check.NewText) check.Value.reset();
      return check;
    }
    if (field == TSheetField::InitialStorage && *maxStorage < *value) {
      check.Messages.push_back("The initial storage be <= the maximum storage");
      replace(std::string(maxStorageText), *maxStorage);
    }
    if (field == TSheetField::EscapeRate && *maxStorage / 10 < *value) {
      // Silently held to a tenth of the maximum storage; the model takes the
      // value of the text shown.
      const std::string tenth = FormatGeneral(*maxStorage / 10, separator);
      replace(tenth, StringToFloat(tenth, separator).value_or(0));
    }
  }
  return check;
}

void StoreFieldValue(TDMQuorell& dm, TSheetField field, double value) {
  switch (field) {
    case TSheetField::MaxStorage: dm.MaxSto = value; break;
    case TSheetField::InitialStorage: dm.IniSto = value; break;
    case TSheetField::EscapeRate: dm.MaxEsc = value; break;
    case TSheetField::AlphaValue:
      dm.Acoeff = value;
      dm.Analysis().Alpha = value;
      break;
    case TSheetField::InitialRunoff: dm.RunIni = value; break;
  }
}
