#pragma once

struct CPlotJob;

// Reads the job's file into its plot through the import filter unless it is loaded already. Returns 0 or
// the result code of the load (32780, 32781, 32784).
int loadJobPlot(CPlotJob& job);

// Measures a job not measured yet (length 0): loads its plot, bakes it, and sets length and width to its
// extent in x and y, rounded to whole millimetres. False when the plot cannot be loaded.
bool measureJob(CPlotJob& job);
// Sets length and width of a job not measured yet from its loaded plot (baked first); nothing without one.
void measureLoadedPlot(CPlotJob& job);
