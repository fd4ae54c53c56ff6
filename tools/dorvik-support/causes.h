// causes.h: the likely cause of each kind of finding, and what to tell the customer.
//
// This is knowledge the report does not carry: one row per finding kind.
#pragma once

#include "findings.h"

struct Cause {
  const char* cause;
  const char* remedy;
};

const Cause& cause_of(FindingKind kind);
