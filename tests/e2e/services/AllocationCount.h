#pragma once
// Every heap allocation this program makes through operator new, counted.

#include <cstddef>

namespace e2e::services {

std::size_t allocationCount();

}  // namespace e2e::services
