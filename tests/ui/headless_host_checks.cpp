// Scripted modal answers are checked in every test of this program.
#include "support/HeadlessHostChecks.h"
