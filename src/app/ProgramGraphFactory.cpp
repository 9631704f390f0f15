#include "app/ProgramGraphFactory.h"

#include "filter/MyTransform.h"

std::unique_ptr<IGraphFactory> MakeProgramGraphFactory() {
    return std::make_unique<CPlatformGraphFactory>([](ComPtr<IBaseFilter>& filter) {
        return CreateLumokaTransform(filter.ReleaseAndGetAddressOf());
    });
}
