// AllocationProbe.h -- records the largest single operator-new request made while armed, so a test can show
// that a reader refused a file without reserving what its header promised.
#pragma once

#include <cstddef>

namespace assettest {

class LargestAllocation {
public:
    LargestAllocation();   // arms the probe and clears the record
    ~LargestAllocation();  // disarms it
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;
    std::size_t bytes() const;  // largest request since construction
};

}  // namespace assettest
