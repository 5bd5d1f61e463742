// The benchmark's Markdown table: numbers as it shows them, its rows and the notes below it.
#pragma once

#include <string>

#include "benchmark_database.h"
#include "measuring.h"
#include "options.h"
#include "results.h"

namespace tomo::bench {

// A number with the given decimals, and a time in milliseconds with three significant digits
// or more.
std::string Fixed(double value, int decimals);
std::string Milliseconds(double seconds);
std::string Seconds(double seconds);
std::string Mebibytes(double bytes);
// "10^k", the label of a size.
std::string SizeLabel(int k);

void PrintTableHeader();
void PrintPlainReadRow(const std::string& label, const format::BenchmarkDatabase& database,
                       double plainRead);
// `reference` and `ratio` are the texts of the last two columns.
void PrintOperationRow(const std::string& label, const std::string& name, const Measurement& m,
                       double plainRead, const std::string& reference, const std::string& ratio);
void PrintSummaryRow(const std::string& label, const std::string& name, const Run& run,
                     double plainRead, const std::string& reference, const std::string& ratio);
// The machine and how the table's figures were taken.
void PrintNotes(const Options& options);

}  // namespace tomo::bench
