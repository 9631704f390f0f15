// Windows-only: conversion between the portable placement record and WINDOWPLACEMENT.
#pragma once

#include <windows.h>

#include "config/Placement.h"

static_assert(sizeof(WINDOWPLACEMENT) == WindowPlacement::kSize, "placement record size");

inline WINDOWPLACEMENT ToWin32Placement(const WindowPlacement& p) {
    WINDOWPLACEMENT w{};
    w.length = sizeof(WINDOWPLACEMENT);
    w.flags = p.flags;
    w.showCmd = p.showCmd;
    w.ptMinPosition = POINT{p.ptMinPosition.x, p.ptMinPosition.y};
    w.ptMaxPosition = POINT{p.ptMaxPosition.x, p.ptMaxPosition.y};
    w.rcNormalPosition = RECT{p.rcNormalPosition.left, p.rcNormalPosition.top,
                              p.rcNormalPosition.right, p.rcNormalPosition.bottom};
    return w;
}

inline WindowPlacement FromWin32Placement(const WINDOWPLACEMENT& w) {
    WindowPlacement p;
    p.length = w.length;
    p.flags = w.flags;
    p.showCmd = w.showCmd;
    p.ptMinPosition = PlacementPoint{w.ptMinPosition.x, w.ptMinPosition.y};
    p.ptMaxPosition = PlacementPoint{w.ptMaxPosition.x, w.ptMaxPosition.y};
    p.rcNormalPosition = PlacementRect{w.rcNormalPosition.left, w.rcNormalPosition.top,
                                       w.rcNormalPosition.right, w.rcNormalPosition.bottom};
    return p;
}
