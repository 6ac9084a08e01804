#pragma once

#include <QString>

// The shop's header line: the build's VELARIX_TITLE_PREFIX, overridden by the environment
// variable of that name, read once and fixed for the run.
QString titlePrefix();
