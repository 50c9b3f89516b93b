// The checks of the input sheet's fields, made when a field is left: their
// messages, the texts that replace a refused entry, and the value the model
// state takes. Shared by the windows and the batch tool.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/dmquorell.h"

// Limits of "Nr. of Data".
inline constexpr int MinNrOfData = 12;
inline constexpr int MaxNrOfData = 1500;
// The points a sheet of the option takes, as far as its run holds them.
inline constexpr int SheetCapacity(bool determination) {
  return determination ? MaxNrOfData : PredCapacity;
}

struct TNrOfDataCheck {
  std::string Message;                 // empty when there is nothing to say
  std::optional<std::string> NewText;  // the field's text afterwards, when replaced
  std::optional<int> Count;            // a count within the limits
};
TNrOfDataCheck CheckNrOfData(std::string_view text);

// What leaving "Nr. of Data" says when the count differs from the sheet's rows.
inline constexpr char AddDataText[] = " Add data in the last cells at the end of the column";
inline constexpr char RemoveDataText[] = " To remove data make the relevant data cells empty";

enum class TSheetField { MaxStorage, InitialStorage, EscapeRate, AlphaValue, InitialRunoff };

struct TFieldCheck {
  std::vector<std::string> Messages;   // shown one after the other
  std::optional<std::string> NewText;  // the field's text afterwards, when replaced
  // What the model field takes: the value of the text the field shows
  // afterwards. Empty: the model field is left as it was.
  std::optional<double> Value;
  // The maximum-storage text the check compares with is no real: this
  // message goes to the general error box.
  std::optional<std::string> ConversionError;
};

// text: the field's own text; maxStorageText: the text of "Maximum storage"
// at that moment (the initial storage and the escape rate are compared with
// it, not with the model value).
TFieldCheck CheckField(TSheetField field, std::string_view text, std::string_view maxStorageText,
                       char separator);

// Puts a checked value into the model field of the sheet field (the alpha
// value goes into Acoeff and the workspace's Alpha).
void StoreFieldValue(TDMQuorell& dm, TSheetField field, double value);
