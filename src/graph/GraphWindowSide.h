// IGraphWindowSide: the window's share of what the graph does to it. The build hands the window
// the keyboard focus at its fixed step (after the video's size and aspect are known, before the
// crossbar is routed); a filter's property pages are shown by the window as a modal frame it
// owns (and centres). The controller stays free of focus and dialog handling; without a window
// side it does neither.
//
// Threads: called on the controller's thread, inside Build and ShowFilterProperties.
// Ownership: the window owns the object and outlives the controller's use of it.
#pragma once

#include <string>

#include "graph/GraphPlatform.h"

class IGraphWindowSide {
public:
    virtual ~IGraphWindowSide() = default;

    // The build's focus step.
    virtual void TakeFocus() = 0;
    // Shows the modal property frame captioned caption with the pages of one object; returns
    // when the user has closed it.
    virtual void ShowPropertyFrame(const std::wstring& caption, IUnknown* object,
                                   const CAUUID& pages) = 0;
};
