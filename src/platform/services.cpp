#include "platform/services.h"

namespace platform {

namespace {
Services bound;
}

void bind(const Services &services) { bound = services; }

const Services &services() { return bound; }

} // namespace platform
