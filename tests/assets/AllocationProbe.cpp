// AllocationProbe.cpp -- replaces the global operator new/delete family of the asset test program with
// malloc/free that can record the largest request. Every form is replaced so that allocation and release
// always pair up, also under AddressSanitizer.
#include "AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> armed{false};
std::atomic<std::size_t> largest{0};

void* allocate(std::size_t size) noexcept {
    if (armed.load(std::memory_order_relaxed)) {
        std::size_t seen = largest.load(std::memory_order_relaxed);
        while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
        }
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateOrThrow(std::size_t size) {
    void* const block = allocate(size);
    if (!block) throw std::bad_alloc();
    return block;
}

}  // namespace

namespace assettest {

LargestAllocation::LargestAllocation() {
    largest.store(0);
    armed.store(true);
}

LargestAllocation::~LargestAllocation() { armed.store(false); }

std::size_t LargestAllocation::bytes() const { return largest.load(); }

}  // namespace assettest

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
