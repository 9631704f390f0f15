// The program's name and version as the version dialog shows them. Preprocessor definitions
// only, so the resource scripts can use them too.
#pragma once

#define LUMOKA2_VERSION_TEXT "Lumoka2 ver0.05 (2010/03/12)"
#define LUMOKA2_VERSION_WTEXT L"Lumoka2 ver0.05 (2010/03/12)"
