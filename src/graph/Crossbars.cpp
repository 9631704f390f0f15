// The crossbars in front of a video capture filter, found the way the graph build finds the one
// it routes: upstream of the capture filter inside a graph.
#include "graph/Catalogue.h"

namespace {

std::wstring NumberedLabel(int32_t index, int32_t physicalType) {
    return std::to_wstring(index) + L":" + ConnectorName(physicalType);
}

// One input pin of the crossbar. The routing query is asked with the input's own index, which
// reports what the output of that number carries.
CrossbarInput DescribeInput(IAMCrossbar* crossbar, long index) {
    CrossbarInput input;
    input.Index = index;
    long related = -1;
    long type = -1;
    crossbar->get_CrossbarPinInfo(TRUE, index, &related, &type);
    input.RelatedIndex = related;
    input.PhysicalType = type;
    long routed = -1;
    crossbar->get_IsRoutedTo(index, &routed);
    input.Routed = routed;
    return input;
}

ComPtr<IAMCrossbar> FindCrossbarUpstream(ICaptureGraphBuilder2* builder, IBaseFilter* start) {
    ComPtr<IAMCrossbar> crossbar;
    if (FAILED(builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, start, IID_IAMCrossbar,
                                      &crossbar))) {
        return nullptr;
    }
    return crossbar;
}

}  // namespace

void DescribeCrossbar(IAMCrossbar* crossbar, CrossbarInfo& info) {
    info.Clear();
    long reportedOutputs = -1;
    long reportedInputs = -1;
    if (FAILED(crossbar->get_PinCounts(&reportedOutputs, &reportedInputs))) return;
    // A driver claiming absurd counts is described only this far (CrossbarPinsToRead).
    const long outputs = CrossbarPinsToRead(static_cast<int32_t>(reportedOutputs));
    const long inputs = CrossbarPinsToRead(static_cast<int32_t>(reportedInputs));
    for (long i = 0; i < outputs; ++i) {
        CrossbarOutput output;
        output.Index = i;
        long related = -1;
        long type = -1;
        crossbar->get_CrossbarPinInfo(FALSE, i, &related, &type);
        output.RelatedIndex = related;
        output.PhysicalType = type;
        long routed = -1;
        crossbar->get_IsRoutedTo(i, &routed);
        output.RoutedInput = routed;
        output.Label = NumberedLabel(i, type);
        for (long j = 0; j < inputs; ++j) {
            CrossbarInput input = DescribeInput(crossbar, j);
            input.Label = NumberedLabel(j, input.PhysicalType);
            output.Inputs.push_back(std::move(input));
        }
        info.Outputs.push_back(std::move(output));
    }
    for (long j = 0; j < inputs; ++j) {
        CrossbarInput input = DescribeInput(crossbar, j);
        input.Label = ConnectorName(input.PhysicalType);
        info.Inputs.push_back(std::move(input));
    }
}

bool DescribeCrossbars(IBaseFilter* filter, CrossbarInfo& first, CrossbarInfo& second) {
    first.Clear();
    second.Clear();
    if (!filter) return false;
    ComPtr<IGraphBuilder> graph;
    ComPtr<ICaptureGraphBuilder2> builder;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&graph))) ||
        FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&builder))) ||
        FAILED(builder->SetFiltergraph(graph.Get()))) {
        return false;
    }
    if (FAILED(graph->AddFilter(filter, L"Video Capture"))) return false;
    ComPtr<IAMCrossbar> crossbar = FindCrossbarUpstream(builder.Get(), filter);
    if (crossbar) {
        DescribeCrossbar(crossbar.Get(), first);
        ComPtr<IBaseFilter> crossbarFilter;
        if (SUCCEEDED(crossbar.As(&crossbarFilter))) {
            ComPtr<IAMCrossbar> next = FindCrossbarUpstream(builder.Get(), crossbarFilter.Get());
            if (next) DescribeCrossbar(next.Get(), second);
        }
    }
    // The caller's filter leaves the private graph, so it can join another one later.
    graph->RemoveFilter(filter);
    return true;
}
