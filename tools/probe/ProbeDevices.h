// "LumokaProbe devices": every device the catalogue sees, with its identity, pins, usable
// formats and their indexes, analogue standards and both crossbars.
#pragma once

int RunDevicesCommand();
