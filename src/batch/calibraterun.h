// The parts of a calibration that calibrate and regional share: the checks
// of a record before the search and the model file of the best fit.
// Nothing here prints: messages are returned.
#pragma once

#include <string>

#include "batch/validatecmd.h"
#include "files/modelfile.h"
#include "model/calibration.h"

// Why data's potential evaporation cannot drive the escape (none read, or
// 0 throughout); empty when it can.
std::string EvaporationFault(const TValidationData& data);

// Why data cannot be calibrated: its determination with the parameters own
// stops (a missing fit does not count), or warmUp leaves no points; empty
// when it can.
std::string RecordFault(const TValidationData& data, const TStoreParameters& own, int warmUp);

// The model file of a calibration's best fit of data.
TModelFile ModelFileOf(const TCalibrationPoint& best, TObjective objective, int warmUp,
                       const TValidationData& data);
