// The program's one graph factory: the real platform objects (filter graph, capture builders,
// tees, renderers, devices found by the catalogue) and the program's own transform filter,
// created in process as "Lumoka Transform". The program, the probe and the tests that build
// the product's graph all use it.
#pragma once

#include <memory>

#include "graph/GraphFactory.h"

std::unique_ptr<IGraphFactory> MakeProgramGraphFactory();
