// tolvane-batch calibrate: the pre-reservoir parameters of best fit.
#pragma once

int Calibrate(int argc, char** argv);
