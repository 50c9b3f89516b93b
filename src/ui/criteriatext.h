// The criteria of a fit as the windows show them, one text a criterion of
// the table, so that a criterion added there shows everywhere.
#pragma once

#include <QString>

#include "model/criteria.h"

// A figure of a window with decimals, "-" for none (not a number).
QString FixedFigure(double value, int decimals);
// Its name as a sentence starts it: "Volume error".
QString CriterionCaption(const TCriterionInfo& info);
// "NSE 0.9989", "volume error -0.30 %": finer than a report's decimals,
// since a change of a parameter moves the fourth; "-" for none.
QString CriterionFigure(const TCriterionInfo& info, double value, bool asCaption = false);
// Every criterion but R square (the output file prints that), joined by
// commas: the Output tab's line.
QString RunCriteriaText(const TFitCriteria& fit);
