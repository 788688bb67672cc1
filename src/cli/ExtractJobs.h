#pragma once

#include "cli/Extractor.h"

#include <vector>

namespace cli {

class MovieTask;
class RunLog;

// Runs the pieces of every movie on `jobs` threads, movies in the order given, each movie's
// pieces in frame order. Decoder threads fill the cores that jobs leave idle.
void runExtractJobs(std::vector<MovieTask*> tasks, int jobs, ExtractSettings settings, RunLog& log);

} // namespace cli
