// The program's version, in one place: the version resource, the release packages' names and the
// installer read it from here.
#pragma once
#define CORALVANE_VERSION_MAJOR 1
#define CORALVANE_VERSION_MINOR 0
#define CORALVANE_VERSION_PATCH 0
#define CORALVANE_VERSION_BUILD 0
#define CORALVANE_VERSION_TEXT "1.0.0.0"
