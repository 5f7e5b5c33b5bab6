#pragma once
// Counts the heap allocations that go through operator new on the calling
// thread while counting is switched on for it.
namespace mg::test {

class CountAllocations {
public:
    CountAllocations();
    ~CountAllocations();
    CountAllocations(const CountAllocations&) = delete;
    CountAllocations& operator=(const CountAllocations&) = delete;

    // Allocations made on this thread since construction.
    long Count() const;

private:
    long start_;
};

} // namespace mg::test
