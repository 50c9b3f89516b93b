#include "ui/criteriatext.h"

#include <cmath>

#include "base/numformat.h"

QString FixedFigure(double value, int decimals) {
  return std::isfinite(value) ? QString::fromStdString(FormatFixed(value, 0, decimals)) : QString("-");
}

QString CriterionCaption(const TCriterionInfo& info) {
  QString name = info.Name;
  name[0] = name[0].toUpper();
  return name;
}

QString CriterionFigure(const TCriterionInfo& info, double value, bool asCaption) {
  const QString name = asCaption ? CriterionCaption(info) : QString(info.Name);
  if (!std::isfinite(value)) return name + " -";
  const int decimals = *info.Unit ? info.Decimals : 4;
  return name + " " + FixedFigure(value, decimals) + (*info.Unit ? QString(" ") + info.Unit : QString());
}

QString RunCriteriaText(const TFitCriteria& fit) {
  QString text;
  for (const auto& info : Criteria) {
    if (info.Id == TCriterion::RSquare) continue;
    if (!text.isEmpty()) text += ", ";
    text += CriterionFigure(info, fit[info.Id]);
  }
  return text;
}
