// run_context.h: what every check of a status run reads.
#pragma once

#include "host/host.h"
#include "startup/process_values.h"

// The machine being diagnosed and the values that start-up captured on it.
struct RunContext {
  Host& host;
  const ProcessValues& values;
};
